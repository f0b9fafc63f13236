#include "editor/PopupMenus.h"

#include "editor/EditorStyle.h"
#include "editor/SizeSetting.h"
#include "engine/Tables.h"
#include "framework/graphics/DebugTrace.h"
#include "framework/graphics/IGraphics.h"

namespace velmora {
namespace {

// The chosen item of a shown menu, or -1 when it was dismissed.
int Choose(IControl& control, PopupMenu& menu, const Rect& area) {
  IGraphics* graphics = control.GetGUI();
  if (graphics == nullptr) return -1;
  PopupMenu* chosen = graphics->ShowPopupMenu(menu, area);
  return chosen == &menu ? menu.ChosenItem() : -1;
}

// A press on a selector of two halves: the root menu or the other one, as
// the press falls, traced as the selectors trace it.
struct Pick {
  enum Half { kNone, kRoot, kOther } half = kNone;
  int item = -1;  // -1: dismissed
};

Pick PickFromHalves(IControl& control, int x, int y, PopupMenu& rootMenu, const Rect& rootArea,
                    PopupMenu& otherMenu, const Rect& otherArea) {
  Pick pick;
  if (rootArea.Contains(x, y)) {
    pick = {Pick::kRoot, Choose(control, rootMenu, rootArea)};
    if (pick.item < 0) DebugTrace("nothing note chosen\n");
    else DebugTrace("item note chosen, main menu %i\n", pick.item);
  } else if (otherArea.Contains(x, y)) {
    pick = {Pick::kOther, Choose(control, otherMenu, otherArea)};
    if (pick.item < 0) DebugTrace("nothin typeg chosen\n");
    else DebugTrace("type item chosen, main menu %i\n", pick.item);
  }
  return pick;
}

// Ticks the items that are chosen already.
template <typename IsChosen>
void Tick(PopupMenu& menu, IsChosen&& isChosen) {
  for (int i = 0; i < menu.NItems(); ++i) {
    PopupMenuItem* item = menu.Item(i);
    item->flags = isChosen(i) ? (item->flags | PopupMenuItem::kChecked) : (item->flags & ~PopupMenuItem::kChecked);
  }
}

void AddNoteNames(PopupMenu& menu) {
  for (int k = 0; k < kPitchClassCount; ++k) menu.AddItem(NoteLongName(k).c_str());
}

}  // namespace

// --- IPopupMenuScales

IPopupMenuScales::IPopupMenuScales(Velmora* plugin, const Rect& rect)
    : IControl(plugin, rect, kScalesDropdown),
      mRootArea(rect.left, rect.top, rect.left + 37, rect.bottom),
      mScaleArea(rect.left + 37, rect.top, rect.right, rect.bottom),
      mLabelStyle(style::Text(16, style::kCaptionGrey, TextStyle::kBold, TextStyle::kCenter)),
      mVelmora(plugin) {
  AddNoteNames(mRootMenu);
  for (int s = 0; s < kScaleCount; ++s) mScaleMenu.AddItem(ScaleLongName(s).c_str());
  // A second quick click opens the menu as the first did: no popup resets its
  // parameter on a double click.
  SetDoubleClickAsPress(true);
}

IPopupMenuScales::~IPopupMenuScales() = default;

void IPopupMenuScales::MouseDown(int x, int y, const MouseMods&) {
  const ScalePopupChoice choice = mVelmora->ScaleChoice();
  Tick(mRootMenu, [&](int i) { return i == choice.chosenRoot; });
  Tick(mScaleMenu, [&](int i) { return i == choice.chosenScale; });
  const double rows = kScaleRowCount;
  const Pick pick = PickFromHalves(*this, x, y, mRootMenu, mRootArea, mScaleMenu, mScaleArea);
  const int b = pick.item;
  if (b >= 0 && pick.half == Pick::kRoot) {
    mVelmora->SetScaleChoice(b, choice.chosenScale);
    mValue = (choice.chosenScale * 12 + b) / rows;
    mNoteLabel = NoteShortName(b);
  } else if (b >= 0) {
    mVelmora->SetScaleChoice(choice.chosenRoot, b);
    mValue = (choice.chosenRoot + b * 12) / rows;
    mScaleLabel = ScaleShortName(b);
  }
  if (!IsDirty()) {
    SetRedrawRequested();
    MarkDirty(true);
  }
}

void IPopupMenuScales::ShowChoice(const ScalePopupChoice& choice) {
  if (choice.noteLabel == mNoteLabel && choice.scaleLabel == mScaleLabel) return;
  mNoteLabel = choice.noteLabel;
  mScaleLabel = choice.scaleLabel;
  MarkDirty(false);
}

bool IPopupMenuScales::Draw(IGraphics& graphics) {
  graphics.DrawText(mLabelStyle, mScaleLabel.c_str(), mScaleLabelRect);
  graphics.DrawText(mLabelStyle, mNoteLabel.c_str(), mNoteLabelRect);
  return true;
}

// --- IPopupMenuChords

IPopupMenuChords::IPopupMenuChords(Velmora* plugin, int paramIdx, const Rect& rect)
    : IControl(plugin, rect, paramIdx),
      mBox(paramIdx == kInclusionsDropdown ? FilterBox::kInclusions : FilterBox::kExclusions),
      mVelmora(plugin) {
  const int w = (rect.right - rect.left) / 2;
  mRootArea = Rect(rect.left, rect.top, rect.left + w - 1, rect.bottom);
  mTypeArea = Rect(rect.left + w + 2, rect.top, rect.right, rect.bottom);
  AddNoteNames(mRootMenu);
  for (int t = 0; t < kChordTypeCount; ++t) mTypeMenu.AddItem(ChordTypeSuffix(t).c_str());
  SetDoubleClickAsPress(true);
}

IPopupMenuChords::~IPopupMenuChords() = default;

const char* IPopupMenuChords::NoteName(int pitchClass) const { return NoteLongName(pitchClass).c_str(); }
const char* IPopupMenuChords::TypeName(int chordType) const { return ChordTypeSuffix(chordType).c_str(); }

void IPopupMenuChords::MouseDown(int x, int y, const MouseMods&) {
  const ChordPopupChoice choice = mVelmora->ChordChoice(mBox);
  const FilterFlags entries = mVelmora->FilterEntries(mBox);
  Tick(mRootMenu, [&](int i) { return entries.roots[static_cast<size_t>(i)]; });
  Tick(mTypeMenu, [&](int i) { return entries.types[static_cast<size_t>(i)]; });
  const double rows = kChordRowCount;
  const Pick pick = PickFromHalves(*this, x, y, mRootMenu, mRootArea, mTypeMenu, mTypeArea);
  const int b = pick.item;
  if (b >= 0 && pick.half == Pick::kRoot) {
    mVelmora->SetChordChoice(mBox, b, choice.chosenType);
    mValue = (choice.chosenType * 12 + b) / rows;
  } else if (b >= 0) {
    mVelmora->SetChordChoice(mBox, choice.chosenRoot, b);
    mValue = (choice.chosenRoot + b * 12) / rows;
  }
  // Every press re-applies the current choices, even without a new one.
  SetRedrawRequested();
  MarkDirty(true);
}

// --- IPopupOptions

IPopupOptions::IPopupOptions(Velmora* plugin, const Rect& rect, const SizeSetting* sizes)
    : IControl(plugin, rect, kOptionsPopup), mHotArea(rect), mSizes(sizes) {
  mMenu.AddItem("Go to Website");
  mMenu.AddItem("Version 1.4.0");
  mMenu.AddItem("Size", PopupMenuItem::kNoFlags, &mSizeMenu);
  mSizeMenu.AddItem("Automatic");
  for (int percent : kScaleSteps) mSizeMenu.AddItem((std::to_string(percent) + " %").c_str());
  SetDoubleClickAsPress(true);
}

IPopupOptions::~IPopupOptions() = default;

// Item 0 is automatic, then the scales in order. The editor follows at
// once (or as soon as the host gives it room); the file keeps the choice
// for every later editor.
void IPopupOptions::ChooseSize(int item) {
  const int percent = item >= 1 && item <= kScaleStepCount ? kScaleSteps[item - 1] : 0;
  if (mSizes != nullptr && !mSizes->Save(percent)) DebugTrace("the size chosen could not be kept\n");
  if (GetGUI() != nullptr) GetGUI()->SetUserScale(percent);
}

void IPopupOptions::MouseDown(int x, int y, const MouseMods&) {
  if (!mHotArea.Contains(x, y)) return;
  IGraphics* graphics = GetGUI();
  const int user = graphics != nullptr ? graphics->UserScale() : 0;
  Tick(mSizeMenu, [&](int i) { return i == 0 ? user == 0 : kScaleSteps[i - 1] == user; });
  PopupMenu* chosen = graphics != nullptr ? graphics->ShowPopupMenu(mMenu, mHotArea) : nullptr;
  if (chosen == &mSizeMenu && mSizeMenu.ChosenItem() >= 0) {
    ChooseSize(mSizeMenu.ChosenItem());
    return;
  }
  const int item = chosen == &mMenu ? mMenu.ChosenItem() : -1;
  if (item < 0) {
    DebugTrace("no option chosen\n");
    return;
  }
  if (item == 0 && GetGUI() != nullptr) GetGUI()->OpenUrl(kWebsite, "Our website", nullptr, nullptr);
  SetRedrawRequested();
  MarkDirty(true);
}

}  // namespace velmora
