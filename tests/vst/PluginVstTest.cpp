// IPluginVST through its effect record, with a fake host behind it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <future>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeHost.h"
#include "TestInstrument.h"
#include "framework/plugin/vst2/VstEntry.h"

namespace velmora::test {
namespace {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

class TestEditor : public IEditorLink {
 public:
  void SetParamFromPlugin(int index, double value, bool normalized) override {
    seen.push_back(std::to_string(index) + (normalized ? " norm " : " real ") +
                   std::to_string(value));
  }
  void CreateSurfaces() override {}
  int Width() const override { return width; }
  int Height() const override { return 709; }
  void* OpenWindow(void* parent) override { return opens ? parent : nullptr; }
  void CloseWindow() override { ++closed; }

  Texts seen;
  int width = 964, closed = 0;
  bool opens = false;
};

class VstPluginTest : public ::testing::Test {
 protected:
  void SetUp() override { Create(TestInstrumentSetup()); }
  void TearDown() override { Close(); }
  void Create(const TestInstrumentSetup& setup) {
    Close();
    effect = CreateEffect(FakeHost::Callback, TestInstrumentFactory(setup));
    ASSERT_NE(effect, nullptr);
    adapter = IPluginVST::FromEffect(effect);
    plugin = static_cast<TestInstrument*>(&adapter->Plugin());
  }
  void Close() {
    if (effect) Call(effClose);
    effect = nullptr;
  }
  intptr_t Call(int32_t opcode, int32_t index = 0, intptr_t value = 0, const void* ptr = nullptr,
                float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, const_cast<void*>(ptr), opt);
  }
  Bytes Chunk(int32_t index) {
    void* data = nullptr;
    intptr_t size = Call(effGetChunk, index, 0, &data);
    return size > 0 ? Bytes(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size)
                    : Bytes();
  }
  std::vector<double> Values() const {
    std::vector<double> values;
    for (int i = 0; i < plugin->NParams(); ++i) values.push_back(plugin->GetParam(i)->Value());
    return values;
  }
  void Outputs(size_t frames, float fill) {
    left.assign(frames, fill);
    right.assign(frames, fill);
    outputs[0] = left.data();
    outputs[1] = right.data();
  }

  FakeHost host;
  AEffect* effect = nullptr;
  IPluginVST* adapter = nullptr;
  TestInstrument* plugin = nullptr;
  std::vector<float> left, right;
  float* outputs[2] = {};
};

TEST_F(VstPluginTest, FillsTheEffectRecordAndThePresets) {
  EXPECT_EQ(effect->flags, 0x1130);
  EXPECT_EQ(effect->numPrograms, 3);
  EXPECT_EQ(effect->version, 10400);
  EXPECT_EQ(effect->object, adapter);
  EXPECT_NE(effect->process, effect->processReplacing);
  EXPECT_EQ(adapter->OutputArrangement().type, kSpeakerArrStereo);
  EXPECT_EQ(adapter->InputArrangement().type, kSpeakerArrEmpty);
  EXPECT_EQ(plugin->MaxBlockSize(), 1024);
  for (int i = 0; i < 3; ++i) EXPECT_STREQ(plugin->PresetName(i), "Empty");
  Create({"1-1", 0, false});
  EXPECT_EQ(effect->flags, 0x1038);
  EXPECT_EQ(effect->numPrograms, 1);
  EXPECT_EQ(Call(effGetPlugCategory), kPlugCategEffect);
  EXPECT_EQ(adapter->InputArrangement().type, kSpeakerArrMono);
}

TEST_F(VstPluginTest, EntryAndDispatcherRefuseWhatIsNotThere) {
  EXPECT_EQ(CreateEffect(nullptr, TestInstrumentFactory()), nullptr);
  EXPECT_EQ(CreateEffect(FakeHost::Callback, nullptr), nullptr);
  EXPECT_EQ(CreateEffect(FakeHost::Callback,
                         [](PluginHost&) -> std::unique_ptr<IPluginBase> { throw std::runtime_error("x"); }),
            nullptr);
  EXPECT_EQ(CreateEffect(FakeHost::Callback, [](PluginHost&) { return std::unique_ptr<IPluginBase>(); }),
            nullptr);
  EXPECT_EQ(effect->dispatcher(nullptr, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
  AEffect orphan = *effect;
  orphan.object = nullptr;
  EXPECT_EQ(orphan.dispatcher(&orphan, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
}

TEST_F(VstPluginTest, AnswersQueriesAndCapabilities) {
  struct { int32_t opcode; const char* text; intptr_t answer; } cases[] = {
      {effGetVendorVersion, nullptr, 10400}, {effGetVstVersion, nullptr, 2400},
      {effIdentify, nullptr, 0x4E764566},    {effGetPlugCategory, nullptr, 2},
      {effCanBeAutomated, nullptr, 1},       {effGetTailSize, nullptr, 0},
      {effGetVu, nullptr, 0},                {1000, nullptr, 0},
      {effCanDo, "sendVstEvents", 1},        {effCanDo, "SendVstEvents", 0},
      {effCanDo, "receiveVstMidiEvent", 1},  {effCanDo, "receiveVstTimeInfo", 1},
      {effCanDo, "sendVstEvents ", 0},       {effCanDo, nullptr, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(Call(c.opcode, 0, 0, c.text), c.answer) << c.opcode << (c.text ? c.text : "");
  }
}

TEST_F(VstPluginTest, ProgramChunkIsTheHeaderThenTheState) {
  ChunkBuffer state;
  ASSERT_TRUE(plugin->SaveState(state));
  Bytes chunk = Chunk(1);
  ASSERT_EQ(chunk.size(), 8u + static_cast<size_t>(state.Size()));
  EXPECT_EQ(Bytes(chunk.begin(), chunk.begin() + 8), (Bytes{0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0}));
  EXPECT_TRUE(std::equal(chunk.begin() + 8, chunk.end(), state.Data()));
  EXPECT_EQ(Call(effGetChunk, 1), 0);  // nowhere to put the address
}

TEST_F(VstPluginTest, BankWithoutHeaderIsOneProgramForTheCurrentSlot) {
  Call(effSetProgram, 0, 1);
  plugin->GetParam(2)->SetClamped(7.5);
  ChunkBuffer state;
  plugin->SaveState(state);
  plugin->GetParam(2)->SetClamped(1.0);
  EXPECT_EQ(Call(effSetChunk, 0, state.Size(), state.Data()), 1);
  EXPECT_EQ(plugin->GetParam(2)->Value(), 7.5);
  const ChunkBuffer& slot = plugin->GetPreset(1)->chunk;
  EXPECT_EQ(Bytes(slot.Data(), slot.Data() + slot.Size()),
            Bytes(state.Data(), state.Data() + state.Size()));
}

TEST_F(VstPluginTest, ChunkAddressLastsUntilTheNextRequestOfItsKind) {
  void* program = nullptr;
  intptr_t size = Call(effGetChunk, 1, 0, &program);
  Bytes before(static_cast<uint8_t*>(program), static_cast<uint8_t*>(program) + size);
  EXPECT_FALSE(Chunk(0).empty());
  EXPECT_EQ(std::memcmp(program, before.data(), before.size()), 0);
  plugin->GetParam(1)->SetClamped(8.0);
  EXPECT_EQ(Call(effSetChunk, 1, size, program), 1);  // some hosts hand it straight back
  EXPECT_EQ(plugin->GetParam(1)->Value(), 4.0);
}

TEST_F(VstPluginTest, RefusedChunksLeaveTheStateAlone) {
  Bytes good = Chunk(1);
  Bytes damaged = good;
  damaged[12] = 'X';  // inside the state's tag
  Bytes garbageBank(good.begin(), good.begin() + 8);
  garbageBank.insert(garbageBank.end(), {0x41, 0x41, 0x41, 0x41, 1, 2});
  plugin->GetParam(2)->SetClamped(2.5);
  plugin->GetParam(4)->SetClamped(3.0);  // a restore clamps the initial -1
  std::vector<double> values = Values();
  struct { int32_t index; intptr_t size; const uint8_t* data; } cases[] = {
      {1, 16, nullptr}, {1, 0, good.data()}, {1, -8, good.data()}, {1, 8, good.data()},
      {1, static_cast<intptr_t>(damaged.size()), damaged.data()},
      {0, static_cast<intptr_t>(damaged.size()) - 8, damaged.data() + 8},
      // A damaged bank falls back to the current slot, which holds the live state.
      {0, static_cast<intptr_t>(garbageBank.size()), garbageBank.data()}};
  for (const auto& c : cases) {
    EXPECT_EQ(Call(effSetChunk, c.index, c.size, c.data), 0) << "size " << c.size;
    EXPECT_EQ(Values(), values) << "size " << c.size;
  }
}

TEST_F(VstPluginTest, ParametersIgnoreBadIndicesAndKeepTheirRanges) {
  std::vector<double> values = Values();
  for (int32_t index : {30, -1, 6}) {
    effect->setParameter(effect, index, 0.7f);
    EXPECT_EQ(effect->getParameter(effect, index), 0.0f);
    EXPECT_EQ(Call(effString2Parameter, index, 0, "1"), 0);
  }
  EXPECT_EQ(Values(), values);
  EXPECT_TRUE(plugin->log.empty());
  effect->setParameter(effect, 1, 0.5f);  // 1 + 3.5 rounds half up
  EXPECT_EQ(plugin->GetParam(1)->Value(), 5.0);
  EXPECT_EQ(plugin->log, Texts{"changed 1"});
  for (float wild : {-3.0f, std::nanf("")}) {
    effect->setParameter(effect, 2, wild);
    EXPECT_EQ(plugin->GetParam(2)->Value(), 0.0);
  }
  effect->setParameter(effect, 2, 2.0f);
  EXPECT_EQ(effect->getParameter(effect, 2), 1.0f);

  struct { int32_t index; const char* text; intptr_t answer; double value; } typed[] = {
      {0, "off", 1, 0.0}, {0, "Off", 0, 0.0}, {0, "on", 1, 1.0}, {0, "garbage", 0, 1.0},
      {3, "High", 1, 2.0}, {2, "7.5", 1, 7.5}, {2, "99", 1, 10.0}, {2, nullptr, 1, 10.0}};
  for (const auto& c : typed) {
    const char* shown = c.text ? c.text : "null";
    EXPECT_EQ(Call(effString2Parameter, c.index, 0, c.text), c.answer) << shown;
    EXPECT_EQ(plugin->GetParam(c.index)->Value(), c.value) << shown;
  }
}

// Each text goes into a buffer filled with a canary; nothing past the
// interface's size may change.
TEST_F(VstPluginTest, TextCopiesStopAtTheInterfaceSizes) {
  const std::string longName(100, 'n');
  Create({"0-1 0-2", 3, true, longName.c_str(), longName.c_str(), longName.c_str()});
  Call(effSetProgramName, 0, 0, longName.c_str());
  struct { int32_t opcode, index; size_t size; std::string whole; } cases[] = {
      {effGetParamName, 4, 8, "ScalesDropdown"}, {effGetParamDisplay, 5, 8, "20000.00"},
      {effGetParamLabel, 1, 8, "vc"},            {effGetProgramName, 0, 24, longName},
      {effGetProgramNameIndexed, 0, 24, longName}, {effGetEffectName, 0, 32, longName},
      {effGetVendorString, 0, 64, longName},     {effGetProductString, 0, 64, longName}};
  for (const auto& c : cases) {
    char buffer[200];
    std::memset(buffer, 0x7F, sizeof(buffer));
    Call(c.opcode, c.index, 0, buffer);
    EXPECT_EQ(std::string(buffer), c.whole.substr(0, c.size - 1)) << "opcode " << c.opcode;
    EXPECT_EQ(std::string(buffer + c.size, sizeof(buffer) - c.size),
              std::string(sizeof(buffer) - c.size, 0x7F)) << "opcode " << c.opcode;
  }
  MidiKeyName key{0, 60, {}, 0x7F7F7F7F, 0};
  EXPECT_EQ(Call(effGetMidiKeyName, 0, 0, &key), 1);
  EXPECT_EQ(std::string(key.keyName), std::string(63, 'k'));
  EXPECT_EQ(key.reserved, 0x7F7F7F7F);
  key.thisKeyNumber = 61;
  EXPECT_EQ(Call(effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_STREQ(key.keyName, "");
}

TEST_F(VstPluginTest, PinPropertiesPairChannelsAndBoundLabels) {
  VstPinProperties pin{};
  EXPECT_EQ(Call(effGetInputProperties, 0, 0, &pin), 0);
  EXPECT_EQ(Call(effGetOutputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(Call(effGetOutputProperties, 0, 0, nullptr), 0);
  ASSERT_EQ(Call(effGetOutputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(pin.flags, 3);
  EXPECT_STREQ(pin.label, "Output 1");
  ASSERT_EQ(Call(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_EQ(pin.flags, 1);
  EXPECT_STREQ(pin.label, "Output 2");
  plugin->SetOutChannelLabel(1, std::string(90, 'L').c_str());
  std::memset(pin.future, 0x7F, sizeof(pin.future));
  ASSERT_EQ(Call(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_EQ(std::strlen(pin.label), 63u);
  EXPECT_STREQ(pin.shortLabel, "LLLLLLL");
  EXPECT_EQ(pin.future[0], 0x7F);
}

TEST_F(VstPluginTest, ProcessesBeforeOpenAndBeyondTheAnnouncedBlock) {
  Call(effSetBlockSize, 0, 64);
  Outputs(4096, 9.0f);
  effect->processReplacing(effect, nullptr, outputs, 4096);
  EXPECT_EQ(left.back(), 0.25f);
  EXPECT_EQ(right.front(), 0.5f);
  effect->process(effect, nullptr, outputs, 4096);
  EXPECT_EQ(right.back(), 1.0f);
  double dLeft[8], dRight[8];
  double* doubles[] = {dLeft, dRight};
  effect->processDoubleReplacing(effect, nullptr, doubles, 8);
  EXPECT_EQ(dRight[7], 0.5);
  effect->processReplacing(effect, nullptr, nullptr, 512);
  effect->processReplacing(effect, nullptr, outputs, -5);
  EXPECT_EQ(host.Count(audioMasterWantMidi), 5);
  EXPECT_EQ(plugin->blocks, 5);
}

TEST_F(VstPluginTest, SetupOpcodesKeepSaneValues) {
  for (intptr_t frames : {intptr_t{0}, intptr_t{-1}}) Call(effSetBlockSize, 0, frames);
  EXPECT_EQ(plugin->MaxBlockSize(), 1024);
  Call(effSetBlockSize, 0, intptr_t{1} << 40);
  EXPECT_EQ(plugin->MaxBlockSize(), IPluginVST::kMaxAnnouncedBlockSize);
  for (float rate : {0.0f, -1.0f, std::nanf(""), INFINITY})
    Call(effSetSampleRate, 0, 0, nullptr, rate);
  EXPECT_EQ(plugin->SampleRate(), 44100.0);
  plugin->log.clear();
  Call(effMainsChanged, 0, 0);
  Call(effMainsChanged, 0, 1);
  Call(effMainsChanged, 0, 1);
  EXPECT_EQ(plugin->log, (Texts{"inactive", "reset", "active", "active"}));
  plugin->SetLatencyFrames(128);
  EXPECT_EQ(effect->initialDelay, 128);

  Call(effSetProgram, 0, 2);
  for (intptr_t wild : {intptr_t{99}, intptr_t{1} << 33}) Call(effSetProgram, 0, wild);
  EXPECT_EQ(Call(effGetProgram), 2);
  Call(effSetProgramName, 0, 0, "Lead");
  char name[24] = "x";
  EXPECT_EQ(Call(effGetProgramNameIndexed, 2, 0, name), 1);
  EXPECT_STREQ(name, "Lead");
  EXPECT_EQ(Call(effGetProgramNameIndexed, 5, 0, name), 0);
  EXPECT_STREQ(name, "");
}

TEST_F(VstPluginTest, SpeakerArrangementConnectsTheChannelsItCounts) {
  VstSpeakerArrangement mono{};
  mono.numChannels = 1;
  EXPECT_EQ(Call(effSetSpeakerArrangement, 0, 0, &mono), 1);
  EXPECT_FALSE(plugin->IsOutChannelConnected(1));
  Outputs(16, 9.0f);
  effect->processReplacing(effect, nullptr, outputs, 16);
  EXPECT_EQ(left[0], 0.25f);
  EXPECT_EQ(right[0], 9.0f);
  VstSpeakerArrangement* in = nullptr;
  VstSpeakerArrangement* out = nullptr;
  EXPECT_EQ(Call(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out), 1);
  EXPECT_EQ(in, &adapter->InputArrangement());
  EXPECT_EQ(out->numChannels, 2);
}

TEST_F(VstPluginTest, EditorOpensOnlyWithAnEditorAndAParent) {
  ERect* rect = nullptr;
  int parent = 0;
  EXPECT_EQ(Call(effEditGetRect, 0, 0, &rect) + Call(effEditOpen, 0, 0, &parent) +
                Call(effEditClose),
            0);
  auto owned = std::make_unique<TestEditor>();
  TestEditor* editor = owned.get();
  plugin->AttachEditor(std::move(owned));
  EXPECT_EQ(effect->flags & effFlagsHasEditor, effFlagsHasEditor);
  ASSERT_EQ(Call(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right - rect->left, 964);
  EXPECT_EQ(rect->bottom - rect->top, 709);
  EXPECT_EQ(Call(effEditOpen, 0, 0, &parent), 0);  // the window could not be made
  editor->opens = true;
  EXPECT_EQ(Call(effEditOpen, 0, 0, nullptr), 0);
  plugin->log.clear();
  EXPECT_EQ(Call(effEditOpen, 0, 0, &parent), 1);
  EXPECT_EQ(Call(effEditClose), 1);
  EXPECT_EQ(editor->closed, 1);
  editor->width = 100000;
  plugin->OnEditorSizeChanged(0, 0);
  EXPECT_EQ(rect->right, 32767);
  EXPECT_EQ(plugin->log, (Texts{"opened", "closing", "resized"}));
  editor->seen.clear();
  effect->setParameter(effect, 3, 1.0f);
  Call(effString2Parameter, 2, 0, "50");
  EXPECT_EQ(editor->seen, (Texts{"3 norm 1.000000", "2 real 10.000000"}));
}

TEST_F(VstPluginTest, IdleRunsTheHookWithoutTheLock) {
  std::vector<bool> lockFree;
  plugin->probe = [&] {
    lockFree.push_back(std::async(std::launch::async, [&] {
                         std::unique_lock<PluginLock> lock(plugin->Mutex(), std::try_to_lock);
                         return lock.owns_lock();
                       }).get());
  };
  Call(effEditIdle);
  Call(effIdle);
  Call(effSetSampleRate, 0, 0, nullptr, 48000.0f);  // OnReset, under the lock
  EXPECT_EQ(lockFree, (std::vector<bool>{true, true, false}));
  EXPECT_EQ(plugin->SampleRate(), 48000.0);
}

}  // namespace
}  // namespace velmora::test
