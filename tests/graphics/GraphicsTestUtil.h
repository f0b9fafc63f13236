#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/Controls.h"
#include "framework/graphics/headless/HeadlessGraphics.h"
#include "framework/plugin/IPluginBase.h"
#include "tests/TestDescriptor.h"

namespace velmora::test {

// Resource ids of the pictures the editor tests embed.
enum TestPicture : int {
  kBackgroundId = 7101,  // 80 x 60, pixel (x, y) = red 3x, green 4y, blue 100
  kSwitchId = 7102,      // 2 frames of 10 x 10: red, green
  kKnobId = 7103,        // 5 frames of 12 x 12: blue 50 * frame, transparent top-left
  kFramesId = 7104,      // 4 x 100, row y has red y
  kNotPngId = 7105,      // not a picture
};

// A plug-in that records what the editor asks of it.
class EditorFakePlugin : public IPluginBase {
 public:
  enum : int { kGain = 0, kPower = 1, kSteps = 2, kLevel = 3 };

  EditorFakePlugin() : IPluginBase(PluginHost::None(), TestDescriptor(4, "0-2", 1, "Velmora", 1)) {
    GetParam(kGain)->DefineDouble("Gain", 0.0, 0.0, 1.0, 0.01);
    GetParam(kPower)->DefineBool("Power", false);
    GetParam(kSteps)->DefineInt("Steps", 0, 0, 4);
    GetParam(kLevel)->DefineDouble("Level", 2.5, 0.0, 10.0, 0.5, "dB");
  }
  void SetParameterFromEditor(int index, double normalized) override {
    log.push_back("set " + std::to_string(index) + " " + std::to_string(normalized));
    IPluginBase::SetParameterFromEditor(index, normalized);
  }
  void BeginParamEdit(int index) override { log.push_back("begin " + std::to_string(index)); }
  void EndParamEdit(int index) override { log.push_back("end " + std::to_string(index)); }
  void OnParamChanged(int index) override { log.push_back("changed " + std::to_string(index)); }
  double Value(int index) const { return GetParam(index)->Value(); }

  std::vector<std::string> log;
};

// A control that records its events and draws.
class RecordingControl : public IControl {
 public:
  RecordingControl(IPluginBase* plugin, const Rect& rect, int paramIdx = -1) : IControl(plugin, rect, paramIdx) {}

  void MouseDown(int x, int y, const MouseMods& mods) override {
    Note("down", x, y);
    IControl::MouseDown(x, y, mods);
  }
  void MouseUp(int x, int y, const MouseMods&) override { Note("up", x, y); }
  void MouseDrag(int x, int y, int dx, int dy, const MouseMods&) override {
    Note("drag", x, y, " d" + std::to_string(dx) + "," + std::to_string(dy));
  }
  void MouseDoubleClick(int x, int y, const MouseMods&) override { Note("double", x, y); }
  void MouseWheel(int x, int y, const MouseMods&, float delta) override {
    Note("wheel", x, y, " " + std::to_string(int(delta)));
  }
  bool KeyDown(int x, int y, int key) override {
    Note("key", x, y, " " + std::to_string(key));
    return true;
  }
  void TextEntered(const char* text) override { log.push_back(std::string("text ") + text); }
  bool Draw(IGraphics&) override { return ++draws > 0; }

  std::vector<std::string> log;
  int draws = 0;

 private:
  void Note(const char* what, int x, int y, const std::string& more = "") {
    log.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y) + more);
  }
};

// A plug-in with a headless editor of 200 x 150.
struct EditorFixtureBase {
  EditorFakePlugin plugin;
  std::unique_ptr<HeadlessGraphics> owned{new HeadlessGraphics(&plugin, 200, 150)};
  HeadlessGraphics* graphics = owned.get();

  template <class Control, class... Args>
  Control* Add(Args&&... args) {
    return graphics->Adopt(std::make_unique<Control>(&plugin, std::forward<Args>(args)...));
  }
  // From here on the plug-in owns the editor.
  void Attach() { plugin.AttachEditor(std::move(owned)); }
  Pixel At(int x, int y) const { return graphics->DrawingSurface()->Row(y)[x]; }
};

// A strip without pixels, for the arithmetic of frame choice.
inline ImageStrip SizedStrip(int width, int height, int frames) {
  ImageStrip strip;
  strip.w = width;
  strip.h = height;
  strip.n = frames;
  return strip;
}

}  // namespace velmora::test
