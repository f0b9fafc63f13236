#pragma once

#include <string>

#include "core/Velmora.h"
#include "framework/graphics/IControl.h"

namespace velmora {

// The scale selector under the keyboard: a root menu and a scale menu; the
// choice goes to the plug-in, which the "ScalesDropdown" parameter then
// applies. It draws the short names of the choice.
//
// Threads: the editor's thread only; the choice it draws is refreshed by the
// editor's sync when the plug-in resets it.
class IPopupMenuScales : public IControl {
 public:
  IPopupMenuScales(Velmora* plugin, const Rect& rect);
  ~IPopupMenuScales() override;

  void MouseDown(int x, int y, const MouseMods& mods) override;
  bool Draw(IGraphics& graphics) override;

  // The choice as the plug-in now holds it.
  void ShowChoice(const ScalePopupChoice& choice);
  const std::string& NoteLabel() const { return mNoteLabel; }
  const std::string& ScaleLabel() const { return mScaleLabel; }

 private:
  PopupMenu mRootMenu;
  PopupMenu mScaleMenu;
  Rect mNoteLabelRect{244, 201, 280, 253};
  Rect mScaleLabelRect{273, 201, 346, 253};
  Rect mRootArea;
  Rect mScaleArea;
  std::string mNoteLabel = "-";
  std::string mScaleLabel = "-";
  TextStyle mLabelStyle;
  Velmora* mVelmora;
};

// A root or chord-type selector under a filter box; the choice goes to the
// plug-in, which its parameter then adds to the filter. Draws nothing.
//
// Threads: the editor's thread only.
class IPopupMenuChords : public IControl {
 public:
  IPopupMenuChords(Velmora* plugin, int paramIdx, const Rect& rect);
  ~IPopupMenuChords() override;

  void MouseDown(int x, int y, const MouseMods& mods) override;
  bool Draw(IGraphics&) override { return true; }

  // The names of the menus, which the filter boxes show.
  const char* NoteName(int pitchClass) const;
  const char* TypeName(int chordType) const;

 private:
  PopupMenu mRootMenu;
  PopupMenu mTypeMenu;
  Rect mRootArea;
  Rect mTypeArea;
  FilterBox mBox;
  Velmora* mVelmora;
};

class SizeSetting;

// The options menu behind the three-bar symbol: the vendor's web site, the
// version, and the editor's size (a submenu: "Automatic" and the scales),
// which the user's settings file keeps. Draws nothing.
//
// Threads: the editor's thread only.
class IPopupOptions : public IControl {
 public:
  static constexpr const char* kWebsite = "https://www.lumarex.com/velmora";
  static constexpr int kSizeItem = 2;

  // sizes: where the size chosen is kept; null keeps it nowhere.
  IPopupOptions(Velmora* plugin, const Rect& rect, const SizeSetting* sizes = nullptr);
  ~IPopupOptions() override;

  void MouseDown(int x, int y, const MouseMods& mods) override;
  bool Draw(IGraphics&) override { return true; }

 private:
  void ChooseSize(int item);

  PopupMenu mMenu;
  PopupMenu mSizeMenu;
  Rect mHotArea;
  const SizeSetting* mSizes;
};

}  // namespace velmora
