#include "editor/VelmoraEditor.h"

#include "editor/Tooltips.h"
#include "core/Velmora.h"
#include "editor/FileDrag.h"
#include "editor/ChordListControls.h"
#include "editor/DragControl.h"
#include "editor/DragFeedback.h"
#include "editor/EditorSync.h"
#include "editor/FilterControls.h"
#include "editor/GridControls.h"
#include "editor/GridDragHandle.h"
#include "editor/KeyboardControls.h"
#include "editor/PopupMenus.h"
#include "editor/SizeSetting.h"
#include "editor/StateButtons.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/PlatformGraphics.h"

namespace velmora {
namespace {

// The x offset of each pitch class in an octave; the black keys' are used.
constexpr std::array<int, 12> kKeyOffsets = {0, 10, 20, 32, 40, 60, 73, 80, 94, 100, 115, 120};

template <typename T>
T* Add(IGraphics& graphics, std::unique_ptr<T> control, const char* tooltip = nullptr) {
  if (tooltip != nullptr) control->SetTooltip(tooltip);
  return graphics.Adopt(std::move(control));
}

}  // namespace

VelmoraEditor::VelmoraEditor(Velmora& plugin, const std::function<void()>& defineParameters) : mPlugin(plugin) {
  std::unique_ptr<IGraphics> graphics = MakePlatformGraphics(&plugin, kWidth, kHeight, kFramesPerSecond);
  mGraphics = graphics.get();
  mSizes = std::make_unique<SizeSetting>(UserDataFolder());
  // Before attaching, so that the host's first question gets this size.
  mGraphics->SetUserScale(mSizes->Load());
  Build(defineParameters);
  mSync = std::make_unique<EditorSync>(plugin, mControls);
  mGraphics->SetEditorSync(mSync.get());
  mFileDrag = MakePlatformFileDrag(*mGraphics);
  plugin.SetFileDragSource(mFileDrag.get());
  plugin.AttachEditor(std::move(graphics));
}

std::unique_ptr<PluginEditor> MakePluginEditor(Velmora& plugin, const std::function<void()>& defineParameters) {
  return std::make_unique<VelmoraEditor>(plugin, defineParameters);
}

VelmoraEditor::~VelmoraEditor() { Disconnect(); }

std::string VelmoraEditor::UserDataFolder() const {
  std::string folder;
  mGraphics->ApplicationDataFolder(folder, false);
  return folder;
}

void VelmoraEditor::Disconnect() {
  if (!mSync) return;
  mGraphics->CloseWindow();
  mGraphics->SetEditorSync(nullptr);
  mPlugin.SetFileDragSource(nullptr);
  mSync.reset();
}

void VelmoraEditor::Build(const std::function<void()>& defineParameters) {
  IGraphics& g = *mGraphics;
  Add(g, std::make_unique<IBitmapControl>(&mPlugin, 0, 0, -1, g.LoadImage(102, "resources/img/bg.png", 1)));
  defineParameters();
  AddButtons();
  AddPopups();
  mControls.keyboard = Add(g,
                           std::make_unique<CustomKeyboardControl>(&mPlugin, g.LoadImage(104, "resources/img/KEY_WHITE.png", 6),
                                                     g.LoadImage(105, "resources/img/KEY_BLACK.png", 1), kKeyOffsets),
                           tooltips::kKeyboard);
  mControls.keyboard->MarkDirty(true);
  AddFilters();
  AddSwitches();
  AddGridAndList();
  AddRecording();
}

void VelmoraEditor::AddButtons() {
  IGraphics& g = *mGraphics;
  mControls.undo = Add(
      g, std::make_unique<DimmableContactControl>(&mPlugin, 9, 250, kUndo, g.LoadImage(124, "resources/img/Left.png", 2)),
      tooltips::kUndo);
  mControls.redo = Add(
      g, std::make_unique<DimmableContactControl>(&mPlugin, 56, 250, kRedo, g.LoadImage(125, "resources/img/Right.png", 2)),
      tooltips::kRedo);
  Add(g, std::make_unique<IContactControl>(&mPlugin, 405, 300, kRandomizeGrid, g.LoadImage(119, "resources/img/NEW_MELODY.png", 2)),
      tooltips::kRandomizeGrid);
}

void VelmoraEditor::AddPopups() {
  IGraphics& g = *mGraphics;
  mControls.scalePopup = Add(g, std::make_unique<IPopupMenuScales>(&mPlugin, Rect(240, 184, 347, 234)), tooltips::kScalePopup);
  mControls.exclusionPopup =
      Add(g, std::make_unique<IPopupMenuChords>(&mPlugin, kExclusionsDropdown, Rect(491, 666, 609, 699)), tooltips::kExclusions);
  mControls.inclusionPopup =
      Add(g, std::make_unique<IPopupMenuChords>(&mPlugin, kInclusionsDropdown, Rect(491, 468, 609, 501)), tooltips::kInclusions);
  mControls.optionsPopup =
      Add(g, std::make_unique<IPopupOptions>(&mPlugin, Rect(0, 0, 46, 42), mSizes.get()), tooltips::kOptions);
}

void VelmoraEditor::AddFilters() {
  IGraphics& g = *mGraphics;
  // Both boxes take their names from the exclusion popup's tables.
  mControls.exclusions = Add(g, std::make_unique<ExclusionsControl>(&mPlugin, Rect(491, 520, 606, 660), mControls.exclusionPopup),
                             tooltips::kExclusions);
  mControls.inclusions = Add(g, std::make_unique<InclusionsControl>(&mPlugin, Rect(491, 322, 606, 462), mControls.exclusionPopup),
                             tooltips::kInclusions);
  Add(g, std::make_unique<IContactControl>(&mPlugin, 349, 171, kClearNoteSelection, g.LoadImage(130, "resources/img/Clear_Notes.png", 2)),
      tooltips::kClearNotes);
  Add(g, std::make_unique<IContactControl>(&mPlugin, 405, 609, kClearGrid, g.LoadImage(132, "resources/img/Clear_Grid.png", 2)),
      tooltips::kClearGrid);
  Add(g,
      std::make_unique<IKnobMultiControl>(&mPlugin, 487, 83, kLooseMatches, g.LoadImage(131, "resources/img/Loose_Matches.png", 5),
                            IKnobControl::kVertical, 1.0),
      tooltips::kLooseMatches);
}

void VelmoraEditor::AddSwitches() {
  IGraphics& g = *mGraphics;
  mControls.octaveUp =
      Add(g, std::make_unique<ISwitchControl>(&mPlugin, 445, 668, kGridOctaveUp, g.LoadImage(133, "resources/img/Grid_Oct_Up.png", 2)),
          tooltips::kGridOctaveUp);
  mControls.octaveDown = Add(
      g, std::make_unique<ISwitchControl>(&mPlugin, 414, 668, kGridOctaveDown, g.LoadImage(134, "resources/img/Grid_Oct_Down.png", 2)),
      tooltips::kGridOctaveDown);
  struct Inversion {
    int x, id;
    const char* file;
  };
  constexpr Inversion kInversions[] = {{469, 135, "resources/img/inversion_control_0.png"},
                                       {489, 136, "resources/img/inversion_control_1.png"},
                                       {510, 137, "resources/img/inversion_control_2.png"},
                                       {531, 138, "resources/img/inversion_control_3.png"},
                                       {551, 139, "resources/img/inversion_control_4.png"},
                                       {572, 140, "resources/img/inversion_control_5.png"}};
  for (int k = 0; k < 6; ++k) {
    const Inversion& inv = kInversions[k];
    Add(g, std::make_unique<ISwitchControl>(&mPlugin, inv.x, 223, kCustomInversionRoot + k, g.LoadImage(inv.id, inv.file, 2)),
        tooltips::kInversions);
  }
}

void VelmoraEditor::AddGridAndList() {
  IGraphics& g = *mGraphics;
  mGridContainer = std::make_unique<GridOfChordsControl>(&mPlugin, Rect(17, 316, 414, 713));
  mControls.grid = mGridContainer.get();
  for (int i = 0; i < kGridCellCount; ++i) Add(g, mGridContainer->TakeCell(i), tooltips::kGridCell);
  mControls.gridHandle = Add(
      g, std::make_unique<GridDragHandle>(&mPlugin, g.LoadImage(144, "resources/img/GRID_DRAG.png", 2), *mGridContainer),
      tooltips::kGridHandle);
  auto list = std::make_unique<ListOfChordsControl>(&mPlugin, Rect(626, 667, 955, 700));
  for (int i = 0; i < ListOfChordsControl::ChordListRowCount; ++i) Add(g, list->TakeRow(i), tooltips::kChordListEntry);
  mControls.chordList = Add(g, std::move(list), tooltips::kChordList);
}

void VelmoraEditor::AddRecording() {
  IGraphics& g = *mGraphics;
  mControls.record =
      Add(g, std::make_unique<RecordSwitchControl>(&mPlugin, 926, 673, kRecord, g.LoadImage(141, "resources/img/RECORD.png", 2)));
  Add(g, std::make_unique<ISwitchControl>(&mPlugin, 874, 675, kDragDim, g.LoadImage(143, "resources/img/DRAG_DIM.png", 1)));
  mControls.dragButton =
      Add(g, std::make_unique<IContactDragControl>(&mPlugin, 874, 675, kDrag, g.LoadImage(142, "resources/img/DRAG.png", 1)));
  mControls.dragButton->SetHidden(true);
  // Over everything, never hit: what a dragged chord would do.
  mControls.dragFeedback = Add(g, std::make_unique<DragFeedbackControl>(&mPlugin));
}

}  // namespace velmora
