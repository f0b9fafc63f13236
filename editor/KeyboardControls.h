#pragma once

#include <array>
#include <bitset>
#include <vector>

#include "framework/graphics/IControl.h"

namespace velmora {

class Velmora;

// The generic keyboard: three octaves and a top C from MIDI note 36, drawn
// over the background's keys as highlighted key blocks. A left press
// records the pressed key, which the processing thread picks up.
//
// Threads: the editor's thread only. The pressed key is published to the
// plug-in without a lock (a single atomic int); the highlights are set by
// the editor's sync from a copy of the plug-in's list.
class IKeyboardControl : public IControl {
 public:
  static constexpr int kLowestNote = 36;
  static constexpr int kKeyCount = 36;
  static constexpr int kOctaves = 3;
  static constexpr int kWhiteKeyWidth = 21;
  static constexpr int kOctaveWidth = 7 * kWhiteKeyWidth;

  IKeyboardControl(Velmora* plugin, const ImageStrip& whiteKeys, const ImageStrip& blackKeys,
                   const std::array<int, 12>& keyOffsets);
  ~IKeyboardControl() override;

  void MouseDown(int x, int y, const MouseMods& mods) override;
  void MouseUp(int x, int y, const MouseMods& mods) override;
  bool Draw(IGraphics& graphics) override;
  virtual void SetHighlightedNotes(const std::vector<int>& notes);
  virtual bool DrawKey(IGraphics& graphics, const Rect& rect, int key, int pitchClass, bool black);

  // The key under (x, y), 0..36, or -1.
  int KeyAt(int x, int y) const;
  int PressedKey() const { return mPressedKey; }
  bool IsHighlighted(int note) const { return note >= 0 && note < 128 && mHighlights[static_cast<size_t>(note)]; }

 protected:
  Velmora* mVelmora;

 private:
  void SetPressedKey(int key);

  int mLowestNote = kLowestNote;
  ImageStrip mWhiteKeys;
  ImageStrip mBlackKeys;
  std::array<int, 12> mKeyOffsets;
  int mPressedKey = -1;
  // Membership is all the highlights need; the editor's thread alone
  // replaces and reads them, so no ready flag guards them.
  std::bitset<128> mHighlights;
};

// The editor's keyboard: a right press toggles the key's pitch class at once,
// and the pitch classes every listed chord must contain are drawn as rings.
class CustomKeyboardControl : public IKeyboardControl {
 public:
  CustomKeyboardControl(Velmora* plugin, const ImageStrip& whiteKeys, const ImageStrip& blackKeys,
                        const std::array<int, 12>& keyOffsets);
  ~CustomKeyboardControl() override;

  void MouseDown(int x, int y, const MouseMods& mods) override;
  bool Draw(IGraphics& graphics) override;

  // A copy of the plug-in's PitchClassSelection.
  void SetPitchClasses(const std::array<bool, 12>& selection);

 private:
  struct RingColours {
    Color main, outerEdge, innerCorners;
  };
  void DrawRing(IGraphics& graphics, int f, int e, const RingColours& colours);
  // A dark line around the ring and inside its hole, so that it stands out
  // on every key, light or dark, marked or not.
  void DrawKeyline(IGraphics& graphics, int f, int e);
  // The C of a marked C key, which the marked block hides in the background.
  void DrawLandmarks(IGraphics& graphics);

  RingColours mWhiteRing{{255, 105, 204, 255}, {255, 121, 194, 231}, {255, 68, 184, 244}};
  RingColours mBlackRing{{255, 0, 148, 224}, {255, 42, 137, 187}, {255, 0, 98, 148}};
  std::array<bool, 12> mPitchClasses{};
  TextStyle mLandmarkStyle;
};

}  // namespace velmora
