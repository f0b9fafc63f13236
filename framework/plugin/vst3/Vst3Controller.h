#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/plugin/IPluginBase.h"
#include "framework/plugin/PluginHost.h"
#include "framework/plugin/vst3/Vst3Link.h"
#include "framework/plugin/vst3/Vst3Module.h"
#include "framework/plugin/vst3/Vst3Support.h"

namespace velmora {

class Vst3Processor;
class Vst3View;

// The VST 3 edit controller. It keeps a copy of the plug-in (its mirror),
// fed by setComponentState and the host's values: parameter infos, values
// and texts come from it. Its view shows the editor of the plug-in that
// plays when the processor lives in this process and module (Vst3Link.h);
// the editor's gestures then reach the host from here, beginEdit,
// performEdit and endEdit on the UI thread. Otherwise the view edits the
// mirror, and hands the processor what the editor changed as a state.
// The trigger keys are named as pitch names of a program list (IUnitInfo);
// the parameter groups are units.
//
// Threads: [UI] everything but addRef, release and queryInterface ([any]).
// The editor's gestures on the processor's plug-in arrive under that
// plug-in's lock; the controller then takes the mirror's, never the other
// way round.
class Vst3Controller final : public vst3::IEditController,
                             public vst3::IUnitInfo,
                             public vst3::IConnectionPoint,
                             public PluginHost,
                             public Vst3EditSink {
 public:
  explicit Vst3Controller(const Vst3ModuleInfo& module);
  Vst3Controller(const Vst3Controller&) = delete;
  Vst3Controller& operator=(const Vst3Controller&) = delete;

  // FUnknown
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_API addRef() override;
  vst3::uint32 VST3_API release() override;
  // IPluginBase
  vst3::tresult VST3_API initialize(vst3::FUnknown* context) override;
  vst3::tresult VST3_API terminate() override;
  // IEditController
  vst3::tresult VST3_API setComponentState(vst3::IBStream* state) override;
  vst3::tresult VST3_API setState(vst3::IBStream* state) override;
  vst3::tresult VST3_API getState(vst3::IBStream* state) override;
  vst3::int32 VST3_API getParameterCount() override;
  vst3::tresult VST3_API getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info) override;
  vst3::tresult VST3_API getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                               vst3::String128 string) override;
  vst3::tresult VST3_API getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                               vst3::ParamValue& valueNormalized) override;
  vst3::ParamValue VST3_API normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue valueNormalized) override;
  vst3::ParamValue VST3_API plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) override;
  vst3::ParamValue VST3_API getParamNormalized(vst3::ParamID id) override;
  vst3::tresult VST3_API setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
  vst3::tresult VST3_API setComponentHandler(vst3::IComponentHandler* handler) override;
  vst3::IPlugView* VST3_API createView(vst3::FIDString name) override;
  // IUnitInfo
  vst3::int32 VST3_API getUnitCount() override;
  vst3::tresult VST3_API getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) override;
  vst3::int32 VST3_API getProgramListCount() override;
  vst3::tresult VST3_API getProgramListInfo(vst3::int32 listIndex, vst3::ProgramListInfo& info) override;
  vst3::tresult VST3_API getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                        vst3::String128 name) override;
  vst3::tresult VST3_API getProgramInfo(vst3::ProgramListID listId, vst3::int32 programIndex,
                                        vst3::CString attributeId, vst3::String128 attributeValue) override;
  vst3::tresult VST3_API hasProgramPitchNames(vst3::ProgramListID listId, vst3::int32 programIndex) override;
  vst3::tresult VST3_API getProgramPitchName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                             vst3::int16 midiPitch, vst3::String128 name) override;
  vst3::UnitID VST3_API getSelectedUnit() override;
  vst3::tresult VST3_API selectUnit(vst3::UnitID unitId) override;
  vst3::tresult VST3_API getUnitByBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 busIndex,
                                      vst3::int32 channel, vst3::UnitID& unitId) override;
  vst3::tresult VST3_API setUnitProgramData(vst3::int32 listOrUnitId, vst3::int32 programIndex,
                                            vst3::IBStream* data) override;
  // IConnectionPoint
  vst3::tresult VST3_API connect(vst3::IConnectionPoint* other) override;
  vst3::tresult VST3_API disconnect(vst3::IConnectionPoint* other) override;
  vst3::tresult VST3_API notify(vst3::IMessage* message) override;

  // PluginHost: the mirror's gestures, when the editor edits the mirror.
  void BeginParamEdit(int index) override;
  void AutomateParam(int index, double normalized) override;
  void EndParamEdit(int index) override;
  // Vst3EditSink: the processor's plug-in's gestures and lifetime.
  void BeginEdit(int index) override;
  void PerformEdit(int index, double plain) override;
  void EndEdit(int index) override;
  void PluginGoing() override;
  // [UI] Both as the host of its own copy and for the linked processor's.
  void EditorResized(int width, int height) override;

  // [UI] For the view: the plug-in whose editor it shows (the processor's
  // when linked, else the mirror; null before initialize), and one tick of
  // the editor's pump with the checks that follow it.
  velmora::IPluginBase* EditorPlugin() const;
  bool Linked() const;
  void ViewOpened(Vst3View* view);
  void ViewClosed(Vst3View* view);
  void Pump();

 private:
  ~Vst3Controller();
  void Unlink();
  void Link(Vst3Processor* processor);
  Param* MirrorParam(vst3::ParamID id) const;
  bool MirrorForwards(int index) const;
  vst3::UnitID UnitOf(const Param& param) const;
  void CheckForChanges();
  std::string NoteNames(velmora::IPluginBase& plugin) const;
  void HandToProcessor(velmora::IPluginBase& mirror);
  template <typename Interface>
  Interface* Query(vst3::FUnknown* object) const;

  const Vst3ModuleInfo& mModule;
  Vst3RefCount mRefs;
  vst3::IHostApplication* mHost = nullptr;
  vst3::IConnectionPoint* mPeer = nullptr;
  vst3::IComponentHandler* mHandler = nullptr;
  vst3::IComponentHandler2* mHandler2 = nullptr;
  vst3::IUnitHandler* mUnitHandler = nullptr;
  std::unique_ptr<velmora::IPluginBase> mMirror;
  Vst3Processor* mLinked = nullptr;  // counted while linked
  std::vector<std::string> mGroups;
  bool mBypass = false;
  Vst3View* mView = nullptr;  // the open view; it says when it goes
  const velmora::IPluginBase* mSeenPlugin = nullptr;
  uint32_t mSeenEdits = 0;
  std::string mNoteNames;
};

}  // namespace velmora
