// Velmora.vst3 through its binary interface: the bundle and its exports,
// the factory and class ids, buses, parameters and texts beside the VST 2.4
// build's, notes at their frames beside the CLAP build's, the state shared
// with Velmora.so, a take from the process context, bypass, flushes and
// many lifecycles.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#include "tests/integration/ModuleSupport.h"
#include "tools/vsthost/ClapHost.h"
#include "tools/vsthost/Vst3Host.h"
#include "tools/vsthost/Vst3HostParts.h"

namespace velmora::integration {
namespace {

namespace vst3 = velmora::vst3;
using host::ClapHost;
using host::Vst3Host;

constexpr vst3::ParamID kBypassId = 0x56420000;
constexpr int kActions[] = {4, 5, 8, 13, 16, 17, 18, 19, 20, 28};
constexpr int kRecord = 27;

void StartVst(VstHost& vst) {
  vst.open();
  vst.setSampleRate(44100.0);
  ASSERT_TRUE(vst.setBlockSize(512));
  vst.resume();
}

// The 16 bytes of an id in this platform's byte order.
std::string PlatformBytes(std::uint32_t l1, std::uint32_t l2, std::uint32_t l3, std::uint32_t l4) {
  char text[40];
#if defined(_WIN32)
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X%02X%02X%08X%08X", l1 & 0xFF, l1 >> 8 & 0xFF,
                l1 >> 16 & 0xFF, l1 >> 24, l2 >> 16 & 0xFF, l2 >> 24, l2 & 0xFF, l2 >> 8 & 0xFF, l3, l4);
#else
  std::snprintf(text, sizeof text, "%08X%08X%08X%08X", l1, l2, l3, l4);
#endif
  return text;
}

std::string Hex(const char* bytes) {
  std::string text;
  char two[3];
  for (int i = 0; i < 16; ++i) {
    std::snprintf(two, sizeof two, "%02X", static_cast<unsigned char>(bytes[i]));
    text += two;
  }
  return text;
}

// Itanium's pointer to a virtual member holds 1 + its byte offset in the vtable.
template <typename Member>
int Slot(Member member) {
  std::uintptr_t raw[2] = {};
  static_assert(sizeof member == sizeof raw);
  std::memcpy(raw, &member, sizeof raw);
  return static_cast<int>((raw[0] - 1) / sizeof(void*));
}

std::string Narrow(const vst3::char16* text) {
  std::string out;
  for (int i = 0; i < 128 && text[i]; ++i) out += static_cast<char>(text[i]);
  return out;
}

class Vst3ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(vst3.load(VELMORA_VST3_BUNDLE)) << vst3.error();
    ASSERT_TRUE(vst3.setBlockSize(512));
    vst3.resume();
    ASSERT_TRUE(vst3.isActive());
  }
  Bytes State() {
    Bytes state;
    EXPECT_TRUE(vst3.getChunk(ChunkKind::Program, state)) << vst3.error();
    return state;
  }
  // The program chunk of Velmora.so after it restored bytes (none: as made).
  Bytes VstChunk(const Bytes& restore = {}) {
    VstHost vst;
    EXPECT_TRUE(vst.load(VELMORA_MODULE)) << vst.error();
    StartVst(vst);
    if (!restore.empty()) {
      EXPECT_TRUE(vst.setChunk(ChunkKind::Program, restore));
    }
    Bytes chunk;
    EXPECT_TRUE(vst.getChunk(ChunkKind::Program, chunk));
    return chunk;
  }

  DataHome home;
  Vst3Host vst3;
};

TEST(Vst3BundleTest, TheFactoryListsTwoClassesWithTheirIdsInThePlatformsByteOrder) {
  host::PluginModule module;
  ASSERT_TRUE(module.load(std::string(VELMORA_VST3_BUNDLE) + "/Contents/x86_64-linux/Velmora.so")) << module.error();
  auto entry = reinterpret_cast<bool (*)(void*)>(module.symbol("ModuleEntry"));
  auto exit = reinterpret_cast<bool (*)()>(module.symbol("ModuleExit"));
  auto getFactory = reinterpret_cast<vst3::IPluginFactory* (*)()>(module.symbol("GetPluginFactory"));
  ASSERT_TRUE(entry && exit && getFactory);
  ASSERT_TRUE(entry(module.handle()));
  vst3::IPluginFactory* factory = getFactory();
  ASSERT_NE(factory, nullptr);
  vst3::PFactoryInfo info{};
  ASSERT_EQ(factory->getFactoryInfo(&info), vst3::kResultOk);
  EXPECT_STREQ(info.vendor, "LumarexLLC");
  EXPECT_EQ(info.flags, vst3::PFactoryInfo::kUnicode);
  ASSERT_EQ(factory->countClasses(), 2);
  void* found = nullptr;
  ASSERT_EQ(factory->queryInterface(vst3::IPluginFactory3::kIid.bytes, &found), vst3::kResultOk);
  auto* factory3 = static_cast<vst3::IPluginFactory3*>(found);
  const std::string ids[] = {PlatformBytes(0xC2E5A89B, 0x52DF4842, 0xAB1064EC, 0x46BB7F8C),
                             PlatformBytes(0x9CCE5893, 0xB3FB45CC, 0xA3AAC33D, 0x3DDB3D40)};
  const char* categories[] = {"Audio Module Class", "Component Controller Class"};
  for (int i = 0; i < 2; ++i) {
    vst3::PClassInfo one{};
    vst3::PClassInfo2 two{};
    vst3::PClassInfoW wide{};
    ASSERT_EQ(factory->getClassInfo(i, &one), vst3::kResultOk);
    ASSERT_EQ(factory3->getClassInfo2(i, &two), vst3::kResultOk);
    ASSERT_EQ(factory3->getClassInfoUnicode(i, &wide), vst3::kResultOk);
    EXPECT_EQ(Hex(one.cid), ids[i]);
    EXPECT_EQ(Hex(two.cid), ids[i]);
    EXPECT_EQ(Hex(wide.cid), ids[i]);
    EXPECT_STREQ(one.category, categories[i]);
    EXPECT_STREQ(one.name, "Velmora");
    EXPECT_EQ(one.cardinality, vst3::kManyInstances);
    EXPECT_STREQ(two.sdkVersion, "VST 3.7.14");
    EXPECT_STREQ(two.version, "1.4.0");
    EXPECT_EQ(two.classFlags, 0u);  // shares memory with its controller: not distributable
    EXPECT_STREQ(two.subCategories, i == 0 ? "Instrument" : "");
    EXPECT_EQ(Narrow(wide.name), "Velmora");
  }
  vst3::PClassInfo none{};
  EXPECT_NE(factory->getClassInfo(2, &none), vst3::kResultOk);
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->createInstance(vst3::IComponent::kIid.bytes, vst3::IComponent::kIid.bytes, &object),
            vst3::kNoInterface);
  EXPECT_EQ(object, nullptr);
  factory3->release();
  factory->release();
  EXPECT_TRUE(exit());
  EXPECT_FALSE(exit());  // one too many
}

// Our header against the published interface: its ids and its slots.
TEST(Vst3BundleTest, TheHeadersIdsAndSlotsAreThePublishedOnes) {
  EXPECT_EQ(Hex(vst3::IComponent::kIid.bytes), PlatformBytes(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802));
  EXPECT_EQ(Hex(vst3::IEditController::kIid.bytes), PlatformBytes(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E));
  EXPECT_EQ(Hex(vst3::FUnknown::kIid.bytes), "0000000000000000C000000000000046");
  EXPECT_EQ(Slot(&vst3::IComponent::getControllerClassId), 5);
  EXPECT_EQ(Slot(&vst3::IComponent::getState), 13);
  EXPECT_EQ(Slot(&vst3::IAudioProcessor::process), 9);
  EXPECT_EQ(Slot(&vst3::IAudioProcessor::getTailSamples), 10);
  EXPECT_EQ(Slot(&vst3::IEditController::setComponentState), 5);
  EXPECT_EQ(Slot(&vst3::IEditController::createView), 17);
  EXPECT_EQ(Slot(&vst3::IUnitInfo::getProgramPitchName), 10);
  EXPECT_EQ(Slot(&vst3::IUnitInfo::setUnitProgramData), 14);
  EXPECT_EQ(Slot(&vst3::IPluginFactory3::setHostContext), 9);
  EXPECT_EQ(Slot(&vst3::IPlugView::checkSizeConstraint), 14);
  EXPECT_EQ(Slot(&vst3::IAttributeList::getBinary), 10);
  EXPECT_EQ(Slot(&vst3::linux_loop::IRunLoop::unregisterTimer), 6);
}

TEST_F(Vst3ModuleTest, BusesParametersAndTextsAreTheVstBuilds) {
  vst3::IComponent* c = vst3.component();
  EXPECT_EQ(c->getBusCount(vst3::kEvent, vst3::kInput), 1);
  EXPECT_EQ(c->getBusCount(vst3::kEvent, vst3::kOutput), 1);
  EXPECT_EQ(c->getBusCount(vst3::kAudio, vst3::kInput), 0);
  EXPECT_EQ(c->getBusCount(vst3::kAudio, vst3::kOutput), 1);
  vst3::BusInfo first{}, again{};
  std::memset(&again, 0x5A, sizeof again);
  ASSERT_EQ(c->getBusInfo(vst3::kAudio, vst3::kOutput, 0, first), vst3::kResultTrue);
  ASSERT_EQ(c->getBusInfo(vst3::kAudio, vst3::kOutput, 0, again), vst3::kResultTrue);
  EXPECT_EQ(std::memcmp(&first, &again, sizeof first), 0);
  EXPECT_EQ(first.channelCount, 2);
  EXPECT_NE(c->getBusInfo(vst3::kEvent, vst3::kInput, 1, first), vst3::kResultTrue);
  ASSERT_EQ(c->getBusInfo(vst3::kEvent, vst3::kInput, 0, first), vst3::kResultTrue);
  EXPECT_EQ(first.channelCount, 16);
  EXPECT_EQ(Narrow(first.name), "Notes in");
  vst3::SpeakerArrangement stereo = vst3::SpeakerArr::kStereo, mono = vst3::SpeakerArr::kMono, arrangement = 0;
  EXPECT_EQ(vst3.processor()->getBusArrangement(vst3::kOutput, 0, arrangement), vst3::kResultTrue);
  EXPECT_EQ(arrangement, vst3::SpeakerArr::kStereo);
  vst3.suspend();
  EXPECT_EQ(vst3.processor()->setBusArrangements(nullptr, 0, &stereo, 1), vst3::kResultTrue);
  EXPECT_EQ(vst3.processor()->setBusArrangements(nullptr, 0, &mono, 1), vst3::kResultFalse);
  EXPECT_EQ(vst3.canDo("IProcessContextRequirements"), 1);
  EXPECT_EQ(vst3.canDo("IUnitInfo"), 1);

  VstHost vst;
  ASSERT_TRUE(vst.load(VELMORA_MODULE));
  StartVst(vst);
  ASSERT_EQ(vst3.parameterCount(), 31);
  int hidden = 0;
  for (int i = 0; i < 30; ++i) {
    vst3::ParameterInfo info{};
    ASSERT_TRUE(vst3.parameterInfo(i, info));
    EXPECT_EQ(info.id, vst3::ParamID(i));
    EXPECT_FALSE(Narrow(info.title).empty());
    if (info.flags & vst3::ParameterInfo::kIsHidden) {
      ++hidden;
      EXPECT_EQ(info.flags, vst3::ParameterInfo::kIsHidden | vst3::ParameterInfo::kIsReadOnly);
      continue;
    }
    // The VST 2.4 build cuts names to its hosts' 8 bytes.
    EXPECT_EQ(Narrow(info.title).rfind(vst.parameterName(i), 0), 0u) << i;
    const bool action = std::find(std::begin(kActions), std::end(kActions), i) != std::end(kActions);
    EXPECT_EQ((info.flags & vst3::ParameterInfo::kCanAutomate) != 0, !action) << i;
    ASSERT_GT(info.stepCount, 0);
    // Every step shows the text the VST 2.4 build shows for that value.
    for (int step = 0; step <= info.stepCount; ++step) {
      const double normalized = double(step) / info.stepCount;
      const std::string text = vst3.valueText(info.id, normalized);
      vst3::ParamValue back = -1.0;
      std::u16string wide(text.begin(), text.end());
      ASSERT_EQ(vst3.controller()->getParamValueByString(info.id, wide.data(), back), vst3::kResultOk) << text;
      EXPECT_EQ(back, normalized) << i << " " << text;
      const double plain = vst3.controller()->normalizedParamToPlain(info.id, normalized);
      const bool list = info.flags & vst3::ParameterInfo::kIsList;
      const double low = vst3.controller()->normalizedParamToPlain(info.id, 0.0);
      if (list && step == 0) {
        EXPECT_EQ(text, "none");
        continue;
      }
      const double min = list ? low + 1 : low, max = low + info.stepCount;
      const float normalized2 = static_cast<float>((plain - min) / (max - min));
      ASSERT_TRUE(vst.setParameter(i, normalized2));
      // An action reads 0 again once it has run: the VST build has no 1 left to show.
      if (vst.parameter(i) == normalized2) {
        EXPECT_EQ(text, vst.parameterDisplay(i)) << i << " " << plain;
      }
    }
  }
  EXPECT_EQ(hidden, 8);
  // The bypass is last, automatable, and in the root unit.
  vst3::ParameterInfo bypass{};
  ASSERT_TRUE(vst3.parameterInfo(30, bypass));
  EXPECT_EQ(bypass.id, kBypassId);
  EXPECT_EQ(bypass.flags, vst3::ParameterInfo::kIsBypass | vst3::ParameterInfo::kCanAutomate);
  EXPECT_EQ(bypass.stepCount, 1);
  // Texts of settings as the VST 2.4 build shows them.
  for (const auto& [index, value] : std::vector<std::pair<int, float>>{{11, 0.5f}, {21, 0.0f}, {27, 1.0f}}) {
    ASSERT_TRUE(vst.setParameter(index, value));
    ASSERT_TRUE(vst3.setParameter(index, value));
    EXPECT_EQ(vst3.parameterDisplay(index), vst.parameterDisplay(index)) << index;
  }
}

// Units: the root with the key names' program list, and one unit a group.
TEST_F(Vst3ModuleTest, GroupsAreUnitsAndTheTriggerKeysAreNamed) {
  ASSERT_TRUE(vst3.setChunk(ChunkKind::Program, MakeState("scale 0 cell 0 0 0")));
  void* found = nullptr;
  ASSERT_EQ(vst3.controller()->queryInterface(vst3::IUnitInfo::kIid.bytes, &found), vst3::kResultOk);
  auto* units = static_cast<vst3::IUnitInfo*>(found);
  ASSERT_GE(units->getUnitCount(), 2);
  std::set<std::string> names;
  for (int u = 0; u < units->getUnitCount(); ++u) {
    vst3::UnitInfo info{};
    ASSERT_EQ(units->getUnitInfo(u, info), vst3::kResultOk);
    EXPECT_EQ(info.id, u);
    EXPECT_EQ(info.parentUnitId, u == 0 ? -1 : 0);
    names.insert(Narrow(info.name));
  }
  EXPECT_TRUE(names.count("Scale") && names.count("Grid") && names.count("Inversions"));
  vst3::ParameterInfo scales{};
  ASSERT_TRUE(vst3.parameterInfo(0, scales));
  vst3::UnitInfo scaleUnit{};
  ASSERT_EQ(units->getUnitInfo(scales.unitId, scaleUnit), vst3::kResultOk);
  EXPECT_EQ(Narrow(scaleUnit.name), "Scale");
  vst3::String128 name{};
  EXPECT_EQ(units->hasProgramPitchNames(0, 0), vst3::kResultTrue);
  ASSERT_EQ(units->getProgramPitchName(0, 0, 36, name), vst3::kResultTrue);
  EXPECT_EQ(Narrow(name), "Cell 1: C maj");
  ASSERT_EQ(units->getProgramPitchName(0, 0, 37, name), vst3::kResultTrue);
  EXPECT_EQ(Narrow(name), "Cell 2: empty");
  EXPECT_EQ(units->getProgramPitchName(0, 0, 60, name), vst3::kResultFalse);
  vst3::UnitID unit = -1;
  EXPECT_EQ(units->getUnitByBus(vst3::kEvent, vst3::kInput, 0, 9, unit), vst3::kResultTrue);
  EXPECT_EQ(unit, 0);
  units->release();
}

// A chord leaves at its trigger's frame in both formats: note-offs there,
// a struck-again note one frame later, never past the block's last frame.
TEST_F(Vst3ModuleTest, NotesAtTheirOffsetsPlayTheClapBuildsChordsAtTheSameFrames) {
  const Bytes state = MakeState("scale 0 cell 0 0 0 cell 2 4 0");
  ClapHost clap;
  ASSERT_TRUE(clap.load(VELMORA_CLAP_MODULE)) << clap.error();
  ASSERT_TRUE(clap.setBlockSize(512));
  clap.resume();
  ASSERT_TRUE(clap.setChunk(ChunkKind::Program, state));
  ASSERT_TRUE(vst3.setChunk(ChunkKind::Program, state));
  for (int frame : {0, 17, 511}) {
    std::vector<Note> played[2];
    host::PluginHost* hosts[] = {&clap, &vst3};
    for (int h = 0; h < 2; ++h) {
      hosts[h]->queueMidi(0, 0x90, 36, 90);
      hosts[h]->queueMidi(frame, 0x90, 38, 80);
      ASSERT_TRUE(hosts[h]->process(1));
      hosts[h]->queueMidi(frame, 0x80, 36, 0);
      hosts[h]->queueMidi(frame, 0x80, 38, 0);
      ASSERT_TRUE(hosts[h]->process(1));
      played[h] = Notes(hosts[h]->takeCapturedMidi());
    }
    EXPECT_EQ(played[1], played[0]) << "frame " << frame;
    ASSERT_EQ(played[1].size(), 12u) << "frame " << frame;
    EXPECT_EQ(played[1][3], (Note{0x80, 64, 0, frame}));
  }
  EXPECT_TRUE(vst3.outputsInOrder());
  EXPECT_EQ(vst3.outputPeak(), 0.0f);  // the output is silence
  EXPECT_TRUE(vst3.silenceFlagged());
}

TEST_F(Vst3ModuleTest, TheStateIsTheVstProgramChunkBothWays) {
  EXPECT_EQ(State(), VstChunk());
  const Bytes made = MakeState("scale 14 cell 0 2 1 cell 5 7 3 -1");
  ASSERT_TRUE(vst3.setChunk(ChunkKind::Program, made));
  ASSERT_TRUE(vst3.setParameter(11, 0.5f));  // LooseMatches 2
  const Bytes saved = State();
  EXPECT_EQ(VstChunk(saved), saved);
  EXPECT_EQ(StateTexts(saved), StateTexts(made));
  EXPECT_EQ(vst3.parameterDisplay(11), "2");
  // Damaged states are refused and change nothing.
  Bytes cut(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(saved.size() / 2));
  Bytes bad = saved;
  bad[12] = 'x';
  for (const Bytes& damaged : {cut, bad, Bytes{}}) {
    EXPECT_FALSE(vst3.setChunk(ChunkKind::Program, damaged));
    EXPECT_EQ(State(), saved);
  }
  // The controller's own state holds the bypass, and gives it back.
  ASSERT_TRUE(vst3.setParameter(30, 1.0f));
  Bytes controllerState;
  ASSERT_TRUE(vst3.getControllerState(controllerState));
  ASSERT_TRUE(vst3.setParameter(30, 0.0f));
  ASSERT_TRUE(vst3.setControllerState(controllerState));
  EXPECT_EQ(vst3.parameter(30), 1.0f);
  EXPECT_FALSE(vst3.setControllerState({'n', 'o', 'p', 'e', 1, 1}));
}

TEST_F(Vst3ModuleTest, ATakeFollowsTheProcessContextAndACountInIsNotRecorded) {
  ASSERT_TRUE(vst3.setChunk(ChunkKind::Program, MakeState("scale 0 cell 0 0 0 cell 1 5 0")));
  ASSERT_TRUE(vst3.setParameter(kRecord, 1.0f));
  vst3.setTempo(90.0);
  vst3.setSongPosition(-1024);  // two blocks of count-in
  vst3.setTransportPlaying(true);
  vst3.queueMidi(0, 0x90, 36, 100);  // C maj in the count-in
  vst3.queueMidi(100, 0x80, 36, 0);
  ASSERT_TRUE(vst3.process(2));
  vst3.queueMidi(0, 0x90, 37, 100);  // F maj in the song
  vst3.queueMidi(2048, 0x80, 37, 0);
  ASSERT_TRUE(vst3.process(6));
  EXPECT_FALSE(fs::exists(home.ExportFile()));
  vst3.setTransportPlaying(false);
  ASSERT_TRUE(vst3.process(1));
  ASSERT_TRUE(home.WaitForExport());
  std::string text;
  if (FILE* pipe = popen(("midicsv '" + home.ExportFile().string() + "'").c_str(), "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, pipe)) text += line;
    pclose(pipe);
  }
  // 2048 frames at 90 bpm, 120 ticks a quarter: 8 ticks (at the 120 bpm
  // of a host that gave no tempo, 11).
  EXPECT_NE(text.find("2, 8, Note_off_c, 0, 65, 0"), std::string::npos) << text;
  EXPECT_NE(text.find("Note_on_c, 0, 65, "), std::string::npos) << text;
  EXPECT_EQ(text.find("Note_on_c, 0, 60, "), std::string::npos) << text;
}

// Every pointer of ProcessData may be null; numSamples 0 applies values.
TEST_F(Vst3ModuleTest, NullPointersAndFlushesAreFineAndAnActionRunsOncePerPress) {
  vst3::ProcessData empty{};
  EXPECT_EQ(vst3.processor()->process(empty), vst3::kResultOk);
  empty.numSamples = 64;
  EXPECT_EQ(vst3.processor()->process(empty), vst3::kResultOk);
  ASSERT_TRUE(vst3.setChunk(ChunkKind::Program, MakeState("scale 0 cell 0 0 0")));
  vst3.takeAutomation();
  // A press of ClearGrid, held for two flushes: it clears once and the
  // host hears it read 0 again.
  vst3.queueParamChange(0, 18, 1.0);
  ASSERT_TRUE(vst3.flush());
  const auto told = vst3.takeAutomation();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].index, 18);
  EXPECT_EQ(told[0].value, 0.0f);
  EXPECT_EQ(vst3.parameter(18), 0.0f);
  vst3.queueMidi(0, 0x90, 36, 100);
  ASSERT_TRUE(vst3.process(1));
  EXPECT_TRUE(vst3.takeCapturedMidi().empty());  // the grid is empty
}

// While bypassed, host notes pass through unchanged and nothing is played;
// turning it on stops what sounds.
TEST_F(Vst3ModuleTest, BypassPassesHostNotesThroughAndStopsWhatSounds) {
  ASSERT_TRUE(vst3.setChunk(ChunkKind::Program, MakeState("scale 0 cell 0 0 0")));
  vst3.queueMidi(5, 0x90, 36, 100);
  ASSERT_TRUE(vst3.process(1));
  EXPECT_EQ(Notes(vst3.takeCapturedMidi()).size(), 3u);
  vst3.queueParamChange(0, kBypassId, 1.0);
  ASSERT_TRUE(vst3.process(1));
  std::vector<Note> stopped = Notes(vst3.takeCapturedMidi());
  ASSERT_EQ(stopped.size(), 3u);
  for (const Note& n : stopped) EXPECT_EQ(n.status, 0x80);
  vst3.queueMidi(9, 0x93, 40, 64);
  vst3.queueMidi(20, 0x83, 40, 0);
  ASSERT_TRUE(vst3.process(1));
  EXPECT_EQ(Notes(vst3.takeCapturedMidi()), (std::vector<Note>{{0x93, 40, 64, 9}, {0x83, 40, 0, 20}}));
  vst3.queueParamChange(0, kBypassId, 0.0);
  vst3.queueMidi(0, 0x90, 36, 100);
  ASSERT_TRUE(vst3.process(1));
  EXPECT_EQ(Notes(vst3.takeCapturedMidi()).size(), 3u);
}

// Instances made and unmade as hosts do when they scan; terminate and
// initialize again on the same processor; a view made and never shown.
TEST(Vst3LifecycleTest, TwoHundredLifecycles) {
  DataHome home;
  Vst3Host vst3;
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(vst3.load(VELMORA_VST3_BUNDLE)) << i << ": " << vst3.error();
    vst3.resume();
    vst3.queueMidi(i % 512, 0x90, static_cast<std::uint8_t>(36 + i % 16), 64);
    ASSERT_TRUE(vst3.process(1));
    if (i % 10 == 0) {
      vst3.suspend();
      ASSERT_EQ(vst3.component()->terminate(), vst3::kResultOk);
      ASSERT_EQ(vst3.component()->initialize(vst3.hostContext()), vst3::kResultOk);
      vst3.resume();
      ASSERT_TRUE(vst3.process(1));
    }
    if (i % 3 == 0) {
      vst3::IPlugView* view = vst3.controller()->createView("editor");
      ASSERT_NE(view, nullptr);
      vst3::ViewRect size{};
      EXPECT_EQ(view->getSize(&size), vst3::kResultTrue);
      EXPECT_EQ(size.right, 964);
      EXPECT_EQ(size.bottom, 709);
      view->release();
    }
    if (i % 2 == 0) vst3.suspend();
    vst3.close();
  }
}

}  // namespace
}  // namespace velmora::integration
