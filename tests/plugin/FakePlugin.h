#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/plugin/IPluginBase.h"
#include "tests/TestDescriptor.h"

namespace velmora::test {

// A plug-in with a fake host that records, in order, what the base asks.
class FakePlugin : public IPluginBase {
 public:
  explicit FakePlugin(int nParams = 3, const char* channelIO = "0-1 0-2", int nPresets = 4)
      : IPluginBase(PluginHost::None(), TestDescriptor(nParams, channelIO, nPresets, "Velmora", 0x56656C6D)) {}

  void OnParamChanged(int index) override {
    changed.push_back(index);
    log.push_back("changed " + std::to_string(index) + " = " + ValueOf(index));
  }
  void AutomateParam(int index, double normalized) override {
    log.push_back("automate " + std::to_string(index) + " " + std::to_string(normalized) +
                  " = " + ValueOf(index));
  }
  void OnPresetsChanged() override { log.push_back("presets changed"); }
  void ProcessBlock(double** inputs, double** outputs, int frames) override {
    ++blocks;
    seenInputs.assign(inputs, inputs + NInChannels());
    seenOutputs.assign(outputs, outputs + NOutChannels());
    if (silent) return MarkOutputsSilent();
    if (processHook) return processHook(inputs, outputs, frames);
    IPluginBase::ProcessBlock(inputs, outputs, frames);
  }

  void DefineDefaults() {
    GetParam(0)->DefineInt("ScalesDropdown", -1, 0, 228);
    GetParam(1)->DefineBool("Undo", false);
    GetParam(2)->DefineDouble("Gain", 0.5, 0.0, 10.0, 0.5);
  }
  std::string ValueOf(int index) const { return std::to_string(GetParam(index)->Value()); }

  std::vector<int> changed;
  std::vector<std::string> log;
  int blocks = 0;
  std::vector<double*> seenInputs, seenOutputs;
  std::function<void(double**, double**, int)> processHook;
  bool silent = false;  // a plug-in without audio
};

// The plug-in owns and deletes its editor, so what the editor saw lives here.
struct EditorRecord {
  std::vector<std::string> calls;
  bool deleted = false;
};

class RecordingEditor : public IEditorLink {
 public:
  explicit RecordingEditor(std::shared_ptr<EditorRecord> record) : mRecord(std::move(record)) {}
  ~RecordingEditor() override { mRecord->deleted = true; }
  void SetParamFromPlugin(int index, double value, bool normalized) override {
    mRecord->calls.push_back(std::to_string(index) + (normalized ? " norm " : " real ") +
                             std::to_string(value));
  }
  void CreateSurfaces() override { mRecord->calls.push_back("surfaces"); }
  int Width() const override { return 964; }
  int Height() const override { return 709; }
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}

 private:
  std::shared_ptr<EditorRecord> mRecord;
};

}  // namespace velmora::test
