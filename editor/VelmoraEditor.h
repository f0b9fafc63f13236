#pragma once

#include <array>
#include <functional>
#include <memory>

#include "core/PluginEditor.h"
#include "framework/graphics/Controls.h"

namespace velmora {

class CustomKeyboardControl;
class DimmableContactControl;
class DragFeedbackControl;
class RecordSwitchControl;
class EditorSync;
class ExclusionsControl;
class FileDragSource;
class GridDragHandle;
class GridOfChordsControl;
class IContactDragControl;
class IGraphics;
class IPopupMenuChords;
class IPopupMenuScales;
class IPopupOptions;
class InclusionsControl;
class ListOfChordsControl;
class SizeSetting;
class Velmora;

// The controls the plug-in reaches: non-owning, the editor owns them (the
// grid container, which is never added, belongs to VelmoraEditor).
struct EditorControls {
  IPopupMenuScales* scalePopup = nullptr;
  IPopupMenuChords* exclusionPopup = nullptr;
  IPopupMenuChords* inclusionPopup = nullptr;
  IPopupOptions* optionsPopup = nullptr;
  CustomKeyboardControl* keyboard = nullptr;
  ExclusionsControl* exclusions = nullptr;
  InclusionsControl* inclusions = nullptr;
  ISwitchControl* octaveUp = nullptr;
  ISwitchControl* octaveDown = nullptr;
  GridOfChordsControl* grid = nullptr;
  GridDragHandle* gridHandle = nullptr;
  ListOfChordsControl* chordList = nullptr;
  IContactDragControl* dragButton = nullptr;
  DimmableContactControl* undo = nullptr;
  DimmableContactControl* redo = nullptr;
  RecordSwitchControl* record = nullptr;
  DragFeedbackControl* dragFeedback = nullptr;
};

// The editor of one plug-in instance, built once inside the plug-in's
// constructor: the platform's graphics context with the 63 controls of the
// panel, attached to the plug-in at the size the user chose last (the
// settings file), the sync that keeps the controls in step with the
// plug-in, and the platform's file drag.
//
// Threads: built and torn down on the thread that constructs and destroys
// the plug-in; everything else belongs to the editor's thread.
class VelmoraEditor : public PluginEditor {
 public:
  static constexpr int kWidth = 964;
  static constexpr int kHeight = 709;
  static constexpr int kFramesPerSecond = 25;

  // defineParameters runs after the background is added and before the
  // first button, as the parameters are defined inside the build.
  VelmoraEditor(Velmora& plugin, const std::function<void()>& defineParameters);
  ~VelmoraEditor() override;

  // Disconnects the sync and the file drag from the plug-in; called before
  // any plug-in member they point into goes.
  void Disconnect() override;

  IGraphics& Graphics() const { return *mGraphics; }
  std::string UserDataFolder() const override;
  const SizeSetting& Sizes() const { return *mSizes; }
  const EditorControls& Controls() const { return mControls; }

 private:
  void Build(const std::function<void()>& defineParameters);
  void AddButtons();
  void AddPopups();
  void AddFilters();
  void AddSwitches();
  void AddGridAndList();
  void AddRecording();

  Velmora& mPlugin;
  IGraphics* mGraphics = nullptr;  // the plug-in owns it
  EditorControls mControls;
  std::unique_ptr<SizeSetting> mSizes;
  std::unique_ptr<GridOfChordsControl> mGridContainer;
  std::unique_ptr<EditorSync> mSync;
  std::unique_ptr<FileDragSource> mFileDrag;
};

}  // namespace velmora
