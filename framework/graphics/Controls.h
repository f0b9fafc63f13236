#pragma once

#include <string>

#include "framework/graphics/IControl.h"

namespace velmora {

// The frame (1..N) that a normalised value shows in an N-frame strip:
// int((N - 1) * value + 0.5) + 1 kept within 1..N (NaN shows frame 1).
int FrameForValue(double value, int frames);

// Draws one frame of its strip; the rectangle is one frame large.
class IBitmapControl : public IControl {
 public:
  IBitmapControl(IPluginBase* plugin, int x, int y, int paramIdx, const ImageStrip& strip,
                 const ChannelBlend& blend = ChannelBlend(ChannelBlend::kNone, 1.0f));
  ~IBitmapControl() override;

  bool Draw(IGraphics& graphics) override;

  const ImageStrip& Strip() const { return mBitmap; }

 protected:
  ImageStrip mBitmap;
};

// A press steps through the frames and wraps back to 0 after the last.
class ISwitchControl : public IBitmapControl {
 public:
  using IBitmapControl::IBitmapControl;

  void MouseDown(int x, int y, const MouseMods& mods) override;
  void MouseDoubleClick(int x, int y, const MouseMods& mods) override;
};

// A momentary button: back to 0 on release.
class IContactControl : public ISwitchControl {
 public:
  using ISwitchControl::ISwitchControl;

  void MouseUp(int x, int y, const MouseMods& mods) override;
};

class IKnobControl : public IControl {
 public:
  enum Direction : int { kVertical = 0, kHorizontal = 1 };

  IKnobControl(IPluginBase* plugin, const Rect& rect, int paramIdx, int direction, double gearing);

  // With gearing 1.0 a drag over the whole rectangle moves the value by 1;
  // shift or control make it ten times finer.
  void MouseDrag(int x, int y, int dx, int dy, const MouseMods& mods) override;
  void MouseWheel(int x, int y, const MouseMods& mods, float delta) override;

  int Direction() const { return mDirection; }
  double Gearing() const { return mGearing; }

 protected:
  int mDirection;
  double mGearing;
};

class IKnobMultiControl : public IKnobControl {
 public:
  IKnobMultiControl(IPluginBase* plugin, int x, int y, int paramIdx, const ImageStrip& strip, int direction,
                    double gearing);
  ~IKnobMultiControl() override;

  bool Draw(IGraphics& graphics) override;

  const ImageStrip& Strip() const { return mBitmap; }

 protected:
  ImageStrip mBitmap;
};

class ITextControl : public IControl {
 public:
  ITextControl(IPluginBase* plugin, const Rect& rect, const TextStyle& style, const char* text = "");
  ~ITextControl() override;

  bool Draw(IGraphics& graphics) override;

  void SetText(const char* text);
  const std::string& Text() const { return mStr; }

 protected:
  std::string mStr;
};

}  // namespace velmora
