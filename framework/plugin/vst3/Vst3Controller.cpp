// Lifecycle, parameters, state and the processor link of Vst3Controller;
// the units and key names are in Vst3Units.cpp.
#include "framework/plugin/vst3/Vst3Controller.h"

#include <cstring>

#include "framework/plugin/vst3/Vst3Params.h"
#include "framework/plugin/vst3/Vst3Processor.h"
#include "framework/plugin/vst3/Vst3View.h"

namespace velmora {

namespace {

using vst3::kResultFalse;
using vst3::kResultOk;
using vst3::kResultTrue;

// The controller's own state: the bypass, which the program chunk the
// other formats share has no place for.
constexpr uint8_t kStateMagic[4] = {'V', 'M', 'C', '3'};
constexpr uint8_t kStateVersion = 1;
constexpr size_t kStateSize = 6;
constexpr int64_t kMaxControllerState = 1 << 16;

}  // namespace

Vst3Controller::Vst3Controller(const Vst3ModuleInfo& module) : mModule(module) {}

Vst3Controller::~Vst3Controller() { terminate(); }

vst3::tresult Vst3Controller::queryInterface(const vst3::TUID iid, void** obj) {
  if (!obj) return vst3::kInvalidArgument;
  if (Offer<vst3::FUnknown>(static_cast<vst3::IEditController*>(this), iid, obj) ||
      Offer<vst3::IPluginBase>(static_cast<vst3::IEditController*>(this), iid, obj) ||
      Offer<vst3::IEditController>(this, iid, obj) || Offer<vst3::IUnitInfo>(this, iid, obj) ||
      Offer<vst3::IConnectionPoint>(this, iid, obj))
    return kResultOk;
  *obj = nullptr;
  return vst3::kNoInterface;
}

vst3::uint32 Vst3Controller::addRef() { return mRefs.Add(); }

vst3::uint32 Vst3Controller::release() {
  const uint32_t count = mRefs.Drop();
  if (count == 0) delete this;
  return count;
}

template <typename Interface>
Interface* Vst3Controller::Query(vst3::FUnknown* object) const {
  void* found = nullptr;
  if (!object || object->queryInterface(Interface::kIid.bytes, &found) != kResultOk) return nullptr;
  return static_cast<Interface*>(found);
}

vst3::tresult Vst3Controller::initialize(vst3::FUnknown* context) {
  if (mMirror) return kResultFalse;
  try {
    mHost = Query<vst3::IHostApplication>(context);
    mMirror = mModule.makePlugin(*this);
    if (!mMirror) return kResultFalse;
    mMirror->FillEmptyPresets(mMirror->NPresets());
    auto lock = mMirror->Lock();
    mMirror->NotifyAllParams();
    std::vector<const Param*> params;
    for (int i = 0; i < mMirror->NParams(); ++i) params.push_back(mMirror->GetParam(i));
    mGroups = vst3_params::Groups(params);
  } catch (...) {
    mMirror.reset();
    return kResultFalse;
  }
  return kResultOk;
}

vst3::tresult Vst3Controller::terminate() {
  // The view, if the host left one, shows nothing from here on.
  if (mView) mView->Detach();
  mView = nullptr;
  Unlink();
  setComponentHandler(nullptr);
  if (mPeer) mPeer->release();
  mPeer = nullptr;
  if (mHost) mHost->release();
  mHost = nullptr;
  if (mMirror) {
    { auto lock = mMirror->Lock(); }
    mMirror.reset();
  }
  mSeenPlugin = nullptr;
  return kResultOk;
}

// ------------------------------------------------------------------ state

vst3::tresult Vst3Controller::setComponentState(vst3::IBStream* state) {
  if (!mMirror || !state) return kResultFalse;
  try {
    std::vector<uint8_t> bytes;
    if (!ReadWholeStream(state, bytes, Vst3Processor::kMaxStateBytes) || bytes.empty()) return kResultFalse;
    ChunkBuffer incoming;
    incoming.Resize(static_cast<int>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), incoming.Data());
    ChunkBuffer before;
    {
      auto lock = mMirror->Lock();
      if (!mMirror->SaveProgramChunk(before)) return kResultFalse;
      if (!mMirror->LoadProgramChunk(incoming)) {
        mMirror->LoadProgramChunk(before);
        return kResultFalse;
      }
      // The host knows of this state: the mirror's edits so far are in it.
      if (mSeenPlugin == mMirror.get()) mSeenEdits = mMirror->StateEdits();
    }
    CheckForChanges();
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

vst3::tresult Vst3Controller::getState(vst3::IBStream* state) {
  const uint8_t bytes[kStateSize] = {kStateMagic[0], kStateMagic[1], kStateMagic[2],
                                     kStateMagic[3], kStateVersion,  static_cast<uint8_t>(mBypass ? 1 : 0)};
  return WriteWholeStream(state, bytes, sizeof bytes) ? kResultOk : kResultFalse;
}

// No state is as good as the default one; a foreign one is refused.
vst3::tresult Vst3Controller::setState(vst3::IBStream* state) {
  std::vector<uint8_t> bytes;
  try {
    if (!ReadWholeStream(state, bytes, kMaxControllerState)) return kResultFalse;
  } catch (...) {
    return kResultFalse;
  }
  if (bytes.empty()) return kResultOk;
  if (bytes.size() < kStateSize || std::memcmp(bytes.data(), kStateMagic, sizeof kStateMagic) != 0 ||
      bytes[4] < 1)
    return kResultFalse;
  mBypass = bytes[5] != 0;
  const uint8_t on = mBypass ? 1 : 0;
  SendVst3Message(mHost, mPeer, kVst3BypassMessage, kVst3BypassAttribute, &on, 1);
  return kResultOk;
}

// ------------------------------------------------------------------ parameters

Param* Vst3Controller::MirrorParam(vst3::ParamID id) const {
  if (!mMirror || id > static_cast<vst3::ParamID>(INT32_MAX)) return nullptr;
  return mMirror->GetParam(static_cast<int>(id));
}

vst3::int32 Vst3Controller::getParameterCount() { return mMirror ? mMirror->NParams() + 1 : 0; }

vst3::tresult Vst3Controller::getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info) {
  if (!mMirror || paramIndex < 0 || paramIndex > mMirror->NParams()) return vst3::kInvalidArgument;
  if (paramIndex == mMirror->NParams()) {
    vst3_params::DescribeBypass(mModule.bypassId, info);
    return kResultOk;
  }
  auto lock = mMirror->Lock();
  const Param& param = *mMirror->GetParam(paramIndex);
  vst3_params::Describe(param, static_cast<vst3::ParamID>(paramIndex), UnitOf(param), info);
  return kResultOk;
}

vst3::tresult Vst3Controller::getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                                    vst3::String128 string) {
  if (!string) return vst3::kInvalidArgument;
  if (id == mModule.bypassId) {
    CopyToUtf16(string, valueNormalized >= 0.5 ? "on" : "off", 128);
    return kResultOk;
  }
  const Param* param = MirrorParam(id);
  if (!param) return vst3::kInvalidArgument;
  try {
    auto lock = mMirror->Lock();
    CopyToUtf16(string, vst3_params::Text(*param, vst3_params::ToPlain(*param, valueNormalized)).c_str(), 128);
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

vst3::tresult Vst3Controller::getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                                    vst3::ParamValue& valueNormalized) {
  if (!string) return vst3::kInvalidArgument;
  try {
    const std::string text = FromUtf16(string, 128);
    if (id == mModule.bypassId) {
      if (text != "on" && text != "off") return kResultFalse;
      valueNormalized = text == "on" ? 1.0 : 0.0;
      return kResultOk;
    }
    const Param* param = MirrorParam(id);
    if (!param) return vst3::kInvalidArgument;
    auto lock = mMirror->Lock();
    double plain = 0.0;
    if (!vst3_params::FromText(*param, text, &plain)) return kResultFalse;
    valueNormalized = vst3_params::ToNormalized(*param, plain);
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

vst3::ParamValue Vst3Controller::normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue valueNormalized) {
  const Param* param = MirrorParam(id);
  if (!param) return valueNormalized;
  return vst3_params::ToPlain(*param, valueNormalized);
}

vst3::ParamValue Vst3Controller::plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) {
  const Param* param = MirrorParam(id);
  if (!param) return plainValue;
  return vst3_params::ToNormalized(*param, plainValue);
}

vst3::ParamValue Vst3Controller::getParamNormalized(vst3::ParamID id) {
  if (id == mModule.bypassId) return mBypass ? 1.0 : 0.0;
  const Param* param = MirrorParam(id);
  if (!param) return 0.0;
  auto lock = mMirror->Lock();
  return vst3_params::ToNormalized(*param, param->Value());
}

// The host's word on a value: the mirror holds it. When the editor edits the
// mirror, the change runs there too, so that the editor shows it.
vst3::tresult Vst3Controller::setParamNormalized(vst3::ParamID id, vst3::ParamValue value) {
  if (id == mModule.bypassId) {
    mBypass = value >= 0.5;
    return kResultOk;
  }
  Param* param = MirrorParam(id);
  if (!param) return vst3::kInvalidArgument;
  auto lock = mMirror->Lock();
  const double plain = vst3_params::ToPlain(*param, value);
  if (vst3_params::MeansNothingChosen(*param, plain)) {
    param->SetToDefault();
  } else {
    param->SetClamped(plain);
  }
  if (EditorPlugin() != mMirror.get()) return kResultOk;
  const int index = static_cast<int>(id);
  if (IEditorLink* editor = mMirror->Editor()) editor->SetParamFromPlugin(index, param->Value(), false);
  mMirror->OnParamChanged(index);
  return kResultOk;
}

vst3::tresult Vst3Controller::setComponentHandler(vst3::IComponentHandler* handler) {
  if (handler == mHandler) return kResultOk;
  if (mUnitHandler) mUnitHandler->release();
  if (mHandler2) mHandler2->release();
  if (mHandler) mHandler->release();
  mHandler = handler;
  mHandler2 = nullptr;
  mUnitHandler = nullptr;
  if (!mHandler) return kResultOk;
  mHandler->addRef();
  mHandler2 = Query<vst3::IComponentHandler2>(mHandler);
  mUnitHandler = Query<vst3::IUnitHandler>(mHandler);
  return kResultOk;
}

vst3::IPlugView* Vst3Controller::createView(vst3::FIDString name) {
  if (!name || std::strcmp(name, vst3::kEditorViewName) != 0 || !mMirror || !mMirror->Editor()) return nullptr;
  try {
    return new Vst3View(*this);
  } catch (...) {
    return nullptr;
  }
}

// ------------------------------------------------------------------ gestures

// The mirror's actions stay the mirror's: what they did reaches the
// processor as a state (HandToProcessor), which running them there as well
// would undo.
bool Vst3Controller::MirrorForwards(int index) const {
  const Param* param = mMirror ? mMirror->GetParam(index) : nullptr;
  return mHandler && param && param->IsAutomatable();
}

void Vst3Controller::BeginParamEdit(int index) {
  if (MirrorForwards(index)) BeginEdit(index);
}

void Vst3Controller::AutomateParam(int index, double /*normalized*/) {
  if (!MirrorForwards(index)) return;
  const Param& param = *mMirror->GetParam(index);
  mHandler->performEdit(static_cast<vst3::ParamID>(index), vst3_params::ToNormalized(param, param.Value()));
}

void Vst3Controller::EndParamEdit(int index) {
  if (MirrorForwards(index)) EndEdit(index);
}

void Vst3Controller::BeginEdit(int index) {
  if (mHandler && index >= 0) mHandler->beginEdit(static_cast<vst3::ParamID>(index));
}

// The mirror holds the value too: the host may not echo it.
void Vst3Controller::PerformEdit(int index, double plain) {
  Param* param = mMirror ? mMirror->GetParam(index) : nullptr;
  if (!param) return;
  double normalized = 0.0;
  {
    auto lock = mMirror->Lock();
    param->SetClamped(plain);
    if (vst3_params::MeansNothingChosen(*param, plain)) param->SetToDefault();
    normalized = vst3_params::ToNormalized(*param, plain);
  }
  if (mHandler) mHandler->performEdit(static_cast<vst3::ParamID>(index), normalized);
}

void Vst3Controller::EndEdit(int index) {
  if (mHandler && index >= 0) mHandler->endEdit(static_cast<vst3::ParamID>(index));
}

// ------------------------------------------------------------------ link

vst3::tresult Vst3Controller::connect(vst3::IConnectionPoint* other) {
  if (!other) return vst3::kInvalidArgument;
  if (mPeer) return kResultFalse;
  other->addRef();
  mPeer = other;
  return kResultTrue;
}

vst3::tresult Vst3Controller::disconnect(vst3::IConnectionPoint* other) {
  if (!mPeer || other != mPeer) return kResultFalse;
  Unlink();
  mPeer->release();
  mPeer = nullptr;
  return kResultTrue;
}

vst3::tresult Vst3Controller::notify(vst3::IMessage* message) {
  const void* data = nullptr;
  uint32_t size = 0;
  if (!ReadVst3Message(message, kVst3LinkMessage, kVst3LinkAttribute, &data, &size)) return kResultFalse;
  // Of another process or module: the editor edits the mirror.
  Vst3Processor* processor = FindLinkedProcessor(data, size);
  if (!processor) return kResultOk;
  Link(processor);
  return kResultOk;
}

void Vst3Controller::Link(Vst3Processor* processor) {
  if (processor == mLinked) {
    processor->release();  // the reference held already does
  } else {
    Unlink();
    mLinked = processor;
  }
  mLinked->Link(this);
  if (mView) mView->Reopen();
}

void Vst3Controller::Unlink() {
  if (!mLinked) return;
  mLinked->Unlink(this);
  Vst3Processor* gone = mLinked;
  mLinked = nullptr;
  if (mView) mView->Reopen();
  gone->release();
}

void Vst3Controller::EditorResized(int width, int height) {
  if (mView) mView->RequestSize(width, height);
}

void Vst3Controller::PluginGoing() {
  // Still linked: a new plug-in after initialize is announced again.
  if (mView && mLinked) mView->Detach();
}

bool Vst3Controller::Linked() const { return mLinked && mLinked->Plugin(); }

velmora::IPluginBase* Vst3Controller::EditorPlugin() const {
  if (Linked()) return mLinked->Plugin();
  return mMirror.get();
}

void Vst3Controller::ViewOpened(Vst3View* view) { mView = view; }

void Vst3Controller::ViewClosed(Vst3View* view) {
  if (mView == view) mView = nullptr;
}

// ------------------------------------------------------------------ pump

void Vst3Controller::Pump() {
  velmora::IPluginBase* plugin = EditorPlugin();
  if (!plugin) return;
  plugin->OnIdle();
  CheckForChanges();
}

// What the editor changed that the host cannot see: the project needs
// saving, a mirror's edits go to the processor, and renamed trigger keys.
void Vst3Controller::CheckForChanges() {
  velmora::IPluginBase* plugin = EditorPlugin();
  if (!plugin) return;
  const uint32_t edits = plugin->StateEdits();
  if (plugin != mSeenPlugin) {
    mSeenPlugin = plugin;
  } else if (edits != mSeenEdits) {
    if (plugin == mMirror.get()) HandToProcessor(*plugin);
    if (mHandler2) mHandler2->setDirty(1);
  }
  mSeenEdits = edits;
  std::string names = NoteNames(*plugin);
  if (names == mNoteNames) return;
  mNoteNames = std::move(names);
  if (mUnitHandler) mUnitHandler->notifyProgramListChange(0, vst3::kAllProgramInvalid);
}

void Vst3Controller::HandToProcessor(velmora::IPluginBase& mirror) {
  ChunkBuffer chunk;
  if (!mirror.SaveProgramChunk(chunk)) return;
  SendVst3Message(mHost, mPeer, kVst3StateMessage, kVst3StateAttribute, chunk.Data(),
                  static_cast<uint32_t>(chunk.Size()));
}

}  // namespace velmora
