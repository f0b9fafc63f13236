#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "framework/plugin/IPluginBase.h"
#include "framework/plugin/vst2/IPluginVST.h"
#include "tests/TestDescriptor.h"

namespace velmora::test {

// What differs between the test instruments a test makes.
struct TestInstrumentSetup {
  const char* channelIO = "0-1 0-2";
  int presets = 3;
  bool instrument = true;
  const char* effectName = "TestInstrument";
  const char* productName = "Velmora Tests";
  const char* maker = "LumarexLLC";
};

// A small instrument for the VST adapter: parameters of each kind, MIDI in
// (echoed back by the base), a self-checking state, and a log of the hooks
// the adapter calls. Its outputs carry 0.25 on the left, 0.5 on the right.
class TestInstrument : public IPluginBase {
 public:
  static constexpr const char* kStateTag = "TestInstrument";

  static PluginDescriptor Descriptor(const TestInstrumentSetup& setup) {
    PluginDescriptor d = TestDescriptor(6, setup.channelIO, setup.presets, setup.effectName, 0x56547374);
    d.productName = setup.productName;
    d.makerString = setup.maker;
    d.isInstrument = setup.instrument;
    return d;
  }

  explicit TestInstrument(PluginHost& host, const TestInstrumentSetup& setup = TestInstrumentSetup())
      : IPluginBase(host, Descriptor(setup)) {
    GetParam(0)->DefineBool("Power", true);
    GetParam(1)->DefineInt("Voices", 4, 1, 8, "vc");
    GetParam(2)->DefineDouble("Gain", 5.0, 0.0, 10.0, 0.5, "dB");
    GetParam(3)->DefineInt("Mode", 0, 0, 2);
    GetParam(3)->AddValueText(0, "Low");
    GetParam(3)->AddValueText(1, "Mid");
    GetParam(3)->AddValueText(2, "High");
    GetParam(4)->DefineInt("ScalesDropdown", -1, 0, 228);
    GetParam(5)->DefineDouble("Cutoff", 20000.0, 20.0, 20000.0, 0.01, "Hz", 2.0);
  }

  void OnReset() override {
    log.push_back("reset");
    if (probe) probe();
  }
  void OnParamChanged(int index) override { log.push_back("changed " + std::to_string(index)); }
  void OnActiveChanged(bool active) override { log.push_back(active ? "active" : "inactive"); }
  void OnHostKnown() override { log.push_back("host " + std::to_string(Host())); }
  void OnEditorOpened() override { log.push_back("opened"); }
  void OnEditorClosing() override { log.push_back("closing"); }
  void OnEditorResized() override { log.push_back("resized"); }
  void HandleSysEx(const SysExMessage& message) override {
    log.push_back("sysex " + std::to_string(message.size));
  }
  void OnIdle() override {
    ++idles;
    if (probe) probe();
  }
  bool MidiNoteName(int note, std::string* text) override {
    if (note != 60) return IPluginBase::MidiNoteName(note, text);
    *text = std::string(100, 'k');
    return true;
  }

  void ProcessBlock(double** /*inputs*/, double** outputs, int frames) override {
    ++blocks;
    for (int c = 0; c < NOutChannels(); ++c) {
      for (int s = 0; s < frames; ++s) outputs[c][s] = 0.25 * (c + 1);
    }
  }

  bool SaveState(ChunkBuffer& chunk) override {
    return chunk.PutText(kStateTag) > 0 && SerializeParams(chunk);
  }
  // A state that does not start with the tag is refused untouched.
  int LoadState(const ChunkBuffer& chunk, int position) override {
    std::string tag;
    position = chunk.GetText(&tag, position);
    if (position < 0 || tag != kStateTag) return -1;
    return UnserializeParams(chunk, position);
  }

  std::vector<std::string> log;
  std::atomic<int> blocks{0};
  int idles = 0;
  std::function<void()> probe;  // run inside OnReset and OnIdle
};

// The instrument's maker for an adapter.
inline PluginFactory TestInstrumentFactory(const TestInstrumentSetup& setup = TestInstrumentSetup()) {
  return [setup](PluginHost& host) { return std::make_unique<TestInstrument>(host, setup); };
}

// The instrument inside the VST 2.4 adapter, as a host has it.
struct HostedInstrument {
  explicit HostedInstrument(audioMasterCallback host, const TestInstrumentSetup& setup = TestInstrumentSetup())
      : adapter(host, TestInstrumentFactory(setup)), plugin(static_cast<TestInstrument&>(adapter.Plugin())) {}
  IPluginVST adapter;
  TestInstrument& plugin;
};

}  // namespace velmora::test
