#include "TestEditor.h"

#include <cmath>
#include <memory>
#include <string>

#include "framework/graphics/Controls.h"
#include "framework/plugin/Param.h"

namespace velmora::test {

namespace {

const char* const kChordNames[kChordItems] = {"maj", "sus2", "sus4", "aug", "6",   "6add9", "maj7", "min",
                                              "m6",  "m7",   "m7b5", "mmaj7", "m9", "dim",  "7",    "7sus4",
                                              "7b5", "7+",   "7b9",  "7#9",  "add9", "maj9", "9",   "9sus4",
                                              "9+",  "9b5",  "11",   "11b9", "13",  "13b9"};

const TextStyle kLabel("Arial", 14, Color(255, 204, 204, 204), TextStyle::kNormal, TextStyle::kCenter);

void Push(IPluginBase* plugin, int index, double value) {
  const Param* param = plugin->GetParam(index);
  plugin->SetParameterFromEditor(index, param->ToNormalized(value));
}

// The picture tiled over the whole editor.
class TiledBackground : public IControl {
 public:
  TiledBackground(IPluginBase* plugin, const ImageStrip& tile)
      : IControl(plugin, Rect(0, 0, kEditorWidth, kEditorHeight)), mTile(tile) {}
  bool Draw(IGraphics& graphics) override {
    for (int y = 0; y < kEditorHeight; y += mTile.h) {
      for (int x = 0; x < kEditorWidth; x += mTile.w) graphics.DrawImage(mTile, Rect(x, y, x + mTile.w, y + mTile.h), 0, 0);
    }
    return true;
  }

 private:
  ImageStrip mTile;
};

// A dark box with a label, the way the real editor's popups look.
class LabelledBox : public IControl {
 public:
  LabelledBox(IPluginBase* plugin, const Rect& rect, int paramIdx) : IControl(plugin, rect, paramIdx) {}
  bool Draw(IGraphics& graphics) override {
    graphics.FillRectangle(Color(255, 30, 30, 34), mRect);
    graphics.DrawRectangle(Color(255, 120, 120, 128), Rect(mRect.left, mRect.top, mRect.right - 1, mRect.bottom - 1));
    const std::string text = Label();
    if (!text.empty()) graphics.DrawText(kLabel, text.c_str(), Rect(mRect.left, mRect.top + 4, mRect.right, mRect.bottom));
    return true;
  }

 protected:
  virtual std::string Label() const = 0;
  // The chosen item (0-based) the value stands for, -1 for none.
  int Chosen(int items) const { return int(std::lround(mValue * items)) - 1; }
};

// Opens a menu and stores the chosen item + 1 in its parameter.
class MenuBox : public LabelledBox {
 public:
  MenuBox(IPluginBase* plugin, const Rect& rect, int paramIdx, PopupMenu& menu, int items)
      : LabelledBox(plugin, rect, paramIdx), mMenu(menu), mItems(items) {}

  void MouseDown(int, int, const MouseMods&) override {
    PopupMenu* chosen = GetGUI()->ShowPopupMenu(mMenu, mRect);
    const int item = chosen == &mMenu ? mMenu.ChosenItem() : -1;
    if (item >= 0) {
      mValue = double(item + 1) / mItems;
      MarkDirty(true);
    }
    double closed = 0.0;
    {
      auto lock = mPlugin->Lock();
      closed = mPlugin->GetParam(kMenus)->Value();
    }
    Push(mPlugin, kMenus, closed + 1.0);
  }

 protected:
  std::string Label() const override {
    const int item = Chosen(mItems);
    return item >= 0 ? mMenu.Item(item)->text : "-";
  }

 private:
  PopupMenu& mMenu;
  int mItems;
};

class DragBox : public LabelledBox {
 public:
  using LabelledBox::LabelledBox;
  void MouseDown(int, int, const MouseMods&) override {
    const std::string uris = kDraggedUriList;
    // The Windows file list rides along, as in the plug-in's offer; X11 passes over it.
    const bool dropped = GetGUI()->StartDrag({DragData{"text/uri-list", uris}, DragData{"text/plain", uris},
                                              DragData{DragData::kWindowsFileList, std::string(22, '\0')}});
    Push(mPlugin, kDragResult, dropped ? 1.0 : 2.0);
  }

 protected:
  std::string Label() const override { return "Drag"; }
};

// Counts what reaches it, into the probe parameters.
class Probe : public IControl {
 public:
  Probe(IPluginBase* plugin, const Rect& rect) : IControl(plugin, rect) {}
  bool Draw(IGraphics& graphics) override {
    graphics.FillRectangle(Color(255, 52, 56, 64), mRect);
    graphics.DrawText(kLabel, "probe", Rect(mRect.left, mRect.top + 70, mRect.right, mRect.bottom));
    return true;
  }
  void MouseDown(int x, int y, const MouseMods& mods) override {
    Push(mPlugin, kMods, (mods.l ? 1 : 0) | (mods.r ? 2 : 0) | (mods.s ? 4 : 0) | (mods.c ? 8 : 0) | (mods.a ? 16 : 0));
    Where(x, y);
    Push(mPlugin, kDowns, ++mDowns);
  }
  void MouseUp(int, int, const MouseMods&) override { Push(mPlugin, kUps, ++mUps); }
  void MouseDrag(int x, int y, int, int, const MouseMods&) override {
    Where(x, y);
    Push(mPlugin, kDrags, ++mDrags);
  }
  void MouseDoubleClick(int, int, const MouseMods&) override { Push(mPlugin, kDoubles, ++mDoubles); }
  void MouseWheel(int, int, const MouseMods&, float delta) override { Push(mPlugin, kWheel, mWheel += int(delta)); }

 private:
  void Where(int x, int y) {
    Push(mPlugin, kLastX, x);
    Push(mPlugin, kLastY, y);
  }
  int mDowns = 0, mUps = 0, mDrags = 0, mDoubles = 0, mWheel = 0;
};

// Menus live as long as the module (the controls refer to them).
struct Menus {
  PopupMenu chords, mode, more;
  Menus() {
    for (const char* name : kChordNames) chords.AddItem(name);
    more.AddItem("Deeper");
    more.AddItem("Deepest");
    mode.AddItem("Low");
    mode.AddItem("Mid", PopupMenuItem::kChecked);
    mode.AddSeparator();
    mode.AddItem("High");
    mode.AddItem("Off", PopupMenuItem::kGrayed);
    mode.AddItem("More", PopupMenuItem::kNoFlags, &more);
  }
};

}  // namespace

void DefineTestParams(IPluginBase& plugin) {
  plugin.GetParam(kPower)->DefineBool("Power", false);
  plugin.GetParam(kContact)->DefineBool("Contact", false);
  plugin.GetParam(kKnob)->DefineDouble("Knob", 0.0, 0.0, 1.0, 0.001);
  plugin.GetParam(kChord)->DefineInt("Chord", 0, 0, kChordItems);
  plugin.GetParam(kMode)->DefineInt("Mode", 0, 0, kModeItems);
  plugin.GetParam(kDrag)->DefineBool("Drag", false);
  plugin.GetParam(kDragResult)->DefineInt("DragRes", 0, 0, 2);
  plugin.GetParam(kMenus)->DefineInt("Menus", 0, 0, 10000);
  plugin.GetParam(kDowns)->DefineInt("Downs", 0, 0, 10000);
  plugin.GetParam(kUps)->DefineInt("Ups", 0, 0, 10000);
  plugin.GetParam(kDoubles)->DefineInt("Doubles", 0, 0, 10000);
  plugin.GetParam(kDrags)->DefineInt("Drags", 0, 0, 10000);
  plugin.GetParam(kWheel)->DefineInt("Wheel", 0, -1000, 1000);
  plugin.GetParam(kMods)->DefineInt("Mods", 0, 0, 31);
  plugin.GetParam(kLastX)->DefineInt("LastX", 0, 0, 2000);
  plugin.GetParam(kLastY)->DefineInt("LastY", 0, 0, 2000);
}

void BuildTestEditor(IGraphics& graphics, IPluginBase* plugin) {
  static Menus menus;
  graphics.AddControl(std::make_unique<TiledBackground>(plugin, graphics.LoadImage(7101, "tile.png")));
  graphics.AddControl(std::make_unique<ITextControl>(plugin, Rect(20, 660, 420, 690),
                                       TextStyle("Arial", 16, Color(255, 240, 240, 240), TextStyle::kBold, TextStyle::kNear),
                                       "Velmora X11 test editor"));
  const ImageStrip switchStrip = graphics.LoadImage(7102, "switch.png", 2);
  graphics.AddControl(std::make_unique<ISwitchControl>(plugin, kSwitchRect.left, kSwitchRect.top, kPower, switchStrip));
  graphics.AddControl(std::make_unique<IContactControl>(plugin, kContactRect.left, kContactRect.top, kContact, switchStrip));
  graphics.AddControl(std::make_unique<IKnobMultiControl>(plugin, kKnobRect.left, kKnobRect.top, kKnob,
                                            graphics.LoadImage(7103, "knob.png", 5), IKnobControl::kVertical, 1.0));
  graphics.AddControl(std::make_unique<MenuBox>(plugin, kModeRect, kMode, menus.mode, kModeItems));
  graphics.AddControl(std::make_unique<DragBox>(plugin, kDragRect, kDrag));
  graphics.AddControl(std::make_unique<Probe>(plugin, kProbeRect));
  graphics.AddControl(std::make_unique<MenuBox>(plugin, kChordRect, kChord, menus.chords, kChordItems));
}

}  // namespace velmora::test
