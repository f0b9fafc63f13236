// Velmora.clap through its binary interface: the entry and factory, the
// extensions, notes in and chords out, the state shared with Velmora.so,
// a take from the CLAP transport, note names and many lifecycles.
#include <algorithm>
#include <cmath>
#include <set>

#include <poll.h>

#include "tests/integration/ModuleSupport.h"
#include "tools/vsthost/ClapHost.h"

namespace velmora::integration {
namespace {

using host::AutomationRecord;
using host::ClapHost;

// Velmora.so started as ModuleTest starts it.
void StartVst(VstHost& vst) {
  vst.open();
  vst.setSampleRate(44100.0);
  ASSERT_TRUE(vst.setBlockSize(512));
  vst.resume();
}

// A host record whose every function counts its calls: create_plugin must
// call none of them.
struct CountingHost {
  static inline int calls = 0;
  static const void* CLAP_ABI Extension(const clap_host_t*, const char*) { return ++calls, nullptr; }
  static void CLAP_ABI Request(const clap_host_t*) { ++calls; }
  clap_host_t record{CLAP_VERSION_INIT, nullptr, "counting", "", "", "1", Extension, Request, Request, Request};
};

class ModuleClapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(clap.load(VELMORA_CLAP_MODULE)) << clap.error();
    ASSERT_TRUE(clap.setBlockSize(512));
    clap.resume();
    ASSERT_TRUE(clap.isActive());
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
  Bytes ClapState() {
    Bytes state;
    EXPECT_TRUE(clap.getChunk(ChunkKind::Program, state)) << clap.error();
    return state;
  }
  // Pitch classes of the note-ons sent, and whether all came at frame `at`.
  static std::set<int> NoteOnClasses(const std::vector<CapturedMidi>& midi, int at) {
    std::set<int> classes;
    for (const CapturedMidi& m : midi) {
      if ((m.bytes[0] & 0xF0) != 0x90 || m.bytes[2] == 0) continue;
      EXPECT_EQ(m.deltaFrames, at);
      classes.insert(m.bytes[1] % 12);
    }
    return classes;
  }

  DataHome home;
  ClapHost clap;
};

TEST(ModuleClapEntryTest, CountedInitAFactoryWithOneDescriptorAndNoHostCallsOnCreation) {
  host::PluginModule module;
  ASSERT_TRUE(module.load(VELMORA_CLAP_MODULE)) << module.error();
  const auto* entry = static_cast<const clap_plugin_entry_t*>(module.symbol("clap_entry"));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->clap_version.major, 1u);
  EXPECT_EQ(entry->get_factory(CLAP_PLUGIN_FACTORY_ID), nullptr);  // not initialised yet
  ASSERT_TRUE(entry->init(VELMORA_CLAP_MODULE));
  ASSERT_TRUE(entry->init(VELMORA_CLAP_MODULE));
  EXPECT_EQ(entry->get_factory("clap.preset-discovery-factory/2"), nullptr);
  const auto* factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
  ASSERT_NE(factory, nullptr);
  ASSERT_EQ(factory->get_plugin_count(factory), 1u);
  EXPECT_EQ(factory->get_plugin_descriptor(factory, 1), nullptr);
  const clap_plugin_descriptor_t* d = factory->get_plugin_descriptor(factory, 0);
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->id, "com.lumarex.velmora");
  EXPECT_STREQ(d->name, "Velmora");
  EXPECT_STREQ(d->vendor, "LumarexLLC");
  EXPECT_STREQ(d->version, "1.4.0");
  EXPECT_NE(std::string(d->url).find("lumarex"), std::string::npos);
  std::vector<std::string> features;
  for (const char* const* f = d->features; *f; ++f) features.push_back(*f);
  EXPECT_EQ(features, (std::vector<std::string>{"note-effect", "utility"}));

  CountingHost counting;
  EXPECT_EQ(factory->create_plugin(factory, &counting.record, "com.lumarex.other"), nullptr);
  const clap_plugin_t* plugin = factory->create_plugin(factory, &counting.record, d->id);
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(CountingHost::calls, 0);
  EXPECT_EQ(plugin->desc, d);
  EXPECT_TRUE(plugin->init(plugin));
  plugin->destroy(plugin);
  entry->deinit();
  EXPECT_NE(entry->get_factory(CLAP_PLUGIN_FACTORY_ID), nullptr);  // one init still counts
  entry->deinit();
  entry->deinit();  // one too many does no harm
  EXPECT_EQ(entry->get_factory(CLAP_PLUGIN_FACTORY_ID), nullptr);
}

TEST_F(ModuleClapTest, ExtensionsNotePortsAndParametersAsTheVstBuildShowsThem) {
  for (const char* id : {CLAP_EXT_PARAMS, CLAP_EXT_STATE, CLAP_EXT_NOTE_PORTS, CLAP_EXT_NOTE_NAME, CLAP_EXT_GUI,
                         CLAP_EXT_TIMER_SUPPORT, CLAP_EXT_POSIX_FD_SUPPORT})
    EXPECT_EQ(clap.canDo(id), 1) << id;
  EXPECT_EQ(clap.canDo(CLAP_EXT_AUDIO_PORTS), 0);
  EXPECT_EQ(clap.canDo("clap.nonsense"), 0);
  const auto* ports = clap.extension<clap_plugin_note_ports_t>(CLAP_EXT_NOTE_PORTS);
  clap_note_port_info_t in{}, out{};
  ASSERT_EQ(ports->count(clap.plugin(), true), 1u);
  ASSERT_EQ(ports->count(clap.plugin(), false), 1u);
  ASSERT_TRUE(ports->get(clap.plugin(), 0, true, &in));
  ASSERT_TRUE(ports->get(clap.plugin(), 0, false, &out));
  EXPECT_EQ(in.supported_dialects, uint32_t{CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI});
  EXPECT_EQ(out.supported_dialects, uint32_t{CLAP_NOTE_DIALECT_MIDI});
  EXPECT_FALSE(ports->get(clap.plugin(), 1, true, &in));

  VstHost vst;
  ASSERT_TRUE(vst.load(VELMORA_MODULE));
  StartVst(vst);
  ASSERT_EQ(clap.parameterCount(), 30);
  int hidden = 0;
  for (int i = 0; i < 30; ++i) {
    clap_param_info_t info{};
    ASSERT_TRUE(clap.parameterInfo(i, info));
    EXPECT_EQ(info.id, clap_id(i));
    EXPECT_LE(info.min_value, info.default_value);
    EXPECT_LE(info.default_value, info.max_value);
    if (info.flags & CLAP_PARAM_IS_HIDDEN) {
      ++hidden;
      continue;
    }
    EXPECT_TRUE(info.flags & CLAP_PARAM_IS_STEPPED) << info.name;
    EXPECT_NE(std::string(info.module), "") << info.name;
    // Every value of the range shows the text the VST 2.4 build shows.
    for (double v = std::max(info.min_value, 0.0); v <= info.max_value; v += 1.0) {
      const float normalized = static_cast<float>(v / info.max_value);
      ASSERT_TRUE(vst.setParameter(i, normalized));
      const std::string text = clap.valueText(info.id, v);
      // An action reads 0 again once it has run: the VST build has no 1 left to show.
      if (vst.parameter(i) == normalized) {
        EXPECT_EQ(text, vst.parameterDisplay(i)) << info.name << " " << v;
      }
      double back = -2.0;
      ASSERT_TRUE(clap.extension<clap_plugin_params_t>(CLAP_EXT_PARAMS)
                      ->text_to_value(clap.plugin(), info.id, text.c_str(), &back));
      EXPECT_EQ(back, v) << info.name;
    }
  }
  EXPECT_EQ(hidden, 8);
  clap_param_info_t scales{};
  ASSERT_TRUE(clap.parameterInfo(0, scales));
  EXPECT_STREQ(scales.name, "ScalesDropdown");
  EXPECT_STREQ(scales.module, "Scale");
  EXPECT_EQ(scales.min_value, -1.0);
  EXPECT_EQ(scales.default_value, -1.0);
  EXPECT_EQ(clap.valueText(0, -1.0), "none");
}

TEST_F(ModuleClapTest, HostNote36PlaysCMajorAtItsFrameAsClapNoteAndAsMidi) {
  ASSERT_TRUE(clap.setChunk(ChunkKind::Program, MakeState("scale 0 cell 0 0 0")));
  clap.queueNote(100, true, 36, 0.8);
  ASSERT_TRUE(clap.process(1));
  EXPECT_EQ(NoteOnClasses(clap.takeCapturedMidi(), 100), (std::set<int>{0, 4, 7}));
  clap.queueNote(10, false, 36, 0.0);
  ASSERT_TRUE(clap.process(1));
  std::vector<CapturedMidi> off = clap.takeCapturedMidi();
  ASSERT_EQ(off.size(), 3u);
  for (const CapturedMidi& m : off) EXPECT_EQ(m.bytes[0] & 0xF0, 0x80);

  clap.queueMidi(300, 0x93, 36, 100);  // channel 4
  clap.queueMidi(400, 0x90, 60, 100);  // not a trigger note: dropped
  ASSERT_TRUE(clap.process(1));
  EXPECT_EQ(NoteOnClasses(clap.takeCapturedMidi(), 300), (std::set<int>{0, 4, 7}));
  // reset releases what sounds.
  clap.plugin()->reset(clap.plugin());
  ASSERT_TRUE(clap.process(1));
  EXPECT_EQ(Notes(clap.takeCapturedMidi()).size(), 3u);
  EXPECT_TRUE(clap.outputsInOrder());
}

// A chord leaves at its trigger's frame in both formats: note-offs there,
// a struck-again note one frame later, never past the block's last frame.
TEST_F(ModuleClapTest, BothFormatsPutChordsAtTheirTriggersFrames) {
  // Cell 2's E maj shares E4 with cell 0's C maj, so E4 is struck again.
  const Bytes state = MakeState("scale 0 cell 0 0 0 cell 2 4 0");
  VstHost vst;
  ASSERT_TRUE(vst.load(VELMORA_MODULE)) << vst.error();
  StartVst(vst);
  ASSERT_TRUE(vst.setChunk(ChunkKind::Program, state));
  ASSERT_TRUE(clap.setChunk(ChunkKind::Program, state));
  for (int frame : {0, 1, 17, 511}) {
    std::vector<Note> played[2];
    host::PluginHost* hosts[] = {&vst, &clap};
    for (int h = 0; h < 2; ++h) {
      hosts[h]->queueMidi(0, 0x90, 36, 90);
      hosts[h]->queueMidi(frame, 0x90, 38, 80);
      ASSERT_TRUE(hosts[h]->process(1));
      hosts[h]->queueMidi(frame, 0x80, 36, 0);
      hosts[h]->queueMidi(frame, 0x80, 38, 0);
      ASSERT_TRUE(hosts[h]->process(1));
      played[h] = Notes(hosts[h]->takeCapturedMidi());
    }
    EXPECT_EQ(played[0], played[1]) << "frame " << frame;
    ASSERT_EQ(played[0].size(), 12u) << "frame " << frame;
    const int next = std::min(frame + 1, 511);
    EXPECT_EQ(played[0][3], (Note{0x80, 64, 0, frame}));
    EXPECT_EQ(played[0][4], (Note{0x90, 64, 80, next}));
    EXPECT_EQ(played[0][6], (Note{0x90, 71, 80, next}));
    for (size_t i = 7; i < played[0].size(); ++i) EXPECT_EQ(played[0][i].delta, frame) << i;
  }
}

TEST_F(ModuleClapTest, StateIsTheVstProgramChunkAndEachFormatRestoresTheOther) {
  EXPECT_EQ(ClapState(), VstChunk());
  const Bytes made = MakeState("scale 14 cell 0 2 1 cell 5 7 3 -1");
  ASSERT_TRUE(clap.setChunk(ChunkKind::Program, made));
  ASSERT_TRUE(clap.setParameter(11, 0.5f));  // LooseMatches 2
  const Bytes saved = ClapState();
  EXPECT_EQ(VstChunk(saved), saved);
  EXPECT_EQ(StateTexts(saved), StateTexts(made));
  EXPECT_GE(clap.valueRescans(), 1);

  // Damaged states are refused and change nothing, even one whose texts
  // were read before its parameters ran out.
  Bytes cut(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(saved.size() / 2));
  Bytes bad = saved;
  bad[12] = 'x';  // inside the grid text
  Bytes short_params = MakeState("scale 3 cell 2 4 5");
  short_params.resize(short_params.size() - 4);
  for (const Bytes& damaged : {cut, bad, short_params, Bytes{}}) {
    EXPECT_FALSE(clap.setChunk(ChunkKind::Program, damaged));
    EXPECT_EQ(ClapState(), saved);
  }
  EXPECT_FALSE(clap.logLines().empty());  // told the host's log, not stderr
}

TEST_F(ModuleClapTest, ATakeFollowsTheClapTransportAndIsExported) {
  ASSERT_TRUE(clap.setChunk(ChunkKind::Program, MakeState("scale 0 cell 0 0 0")));
  ASSERT_TRUE(clap.setParameter(27, 1.0f));
  clap.setTempo(90.0);
  clap.setTransportPlaying(true);
  ASSERT_TRUE(clap.process(1));
  clap.queueNote(0, true, 36, 1.0);
  clap.queueNote(2048, false, 36, 0.0);
  ASSERT_TRUE(clap.process(6));
  EXPECT_FALSE(fs::exists(home.ExportFile()));
  clap.setTransportPlaying(false);
  ASSERT_TRUE(clap.process(1));
  ASSERT_TRUE(home.WaitForExport());
  std::FILE* file = std::fopen(home.ExportFile().string().c_str(), "rb");
  ASSERT_NE(file, nullptr);
  char magic[4] = {};
  EXPECT_EQ(std::fread(magic, 1, 4, file), 4u);
  std::fclose(file);
  EXPECT_EQ(std::string(magic, 4), "MThd");
  EXPECT_GT(fs::file_size(home.ExportFile()), 40u);  // header, tempo and six notes
}

// The one-shot parameters, by index: Undo, Redo, RandomizeGrid, the three
// clears, ClearGrid, the octave shifts and Drag.
constexpr int kActions[] = {4, 5, 8, 13, 16, 17, 18, 19, 20, 28};
constexpr int kScalesDropdown = 0;
constexpr int kClearGrid = 18;
constexpr int kRecord = 27;

// A host value is what the plug-in keeps, and when it does not keep it the
// host hears so: a drop-down's -1 is "none" and reads back -1; an action
// set to 1 runs once and the host is sent its 0.
TEST_F(ModuleClapTest, HostValuesReadBackAsKeptAndActionsSpringBackForTheHost) {
  ASSERT_TRUE(clap.setChunk(ChunkKind::Program, MakeState("scale 0 cell 0 0 0")));
  clap.queueParamValue(0, kScalesDropdown, 5.0);
  ASSERT_TRUE(clap.process(1));
  EXPECT_EQ(clap.plainValue(kScalesDropdown), 5.0);
  clap.queueParamValue(0, kScalesDropdown, -1.0);
  ASSERT_TRUE(clap.process(1));
  EXPECT_EQ(clap.plainValue(kScalesDropdown), -1.0);
  clap.takeAutomation();
  clap.queueParamValue(10, kClearGrid, 1.0);
  ASSERT_TRUE(clap.process(1));
  EXPECT_EQ(clap.plainValue(kClearGrid), 0.0);
  const std::vector<AutomationRecord> told = clap.takeAutomation();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].kind, AutomationRecord::Kind::Automate);
  EXPECT_EQ(told[0].index, kClearGrid);
  EXPECT_EQ(told[0].value, 0.0f);
  // The grid was cleared once: cell 1 plays nothing now.
  clap.queueNote(0, true, 36, 1.0);
  ASSERT_TRUE(clap.process(1));
  EXPECT_TRUE(clap.takeCapturedMidi().empty());
}

// Automation can never replay a press: the actions are not automatable in
// either format, Record is.
TEST_F(ModuleClapTest, ActionsAreNotAutomatableInEitherFormat) {
  VstHost vst;
  ASSERT_TRUE(vst.load(VELMORA_MODULE));
  StartVst(vst);
  for (int i = 0; i < 30; ++i) {
    clap_param_info_t info{};
    ASSERT_TRUE(clap.parameterInfo(i, info));
    const bool action = std::find(std::begin(kActions), std::end(kActions), i) != std::end(kActions);
    const bool hidden = info.flags & CLAP_PARAM_IS_HIDDEN;
    EXPECT_EQ((info.flags & CLAP_PARAM_IS_AUTOMATABLE) != 0, !action && !hidden) << info.name;
    EXPECT_EQ(vst.dispatch(effCanBeAutomated, i), action ? 0 : 1) << info.name;
  }
  EXPECT_EQ(vst.dispatch(effCanBeAutomated, kRecord), 1);
}

// A note-off or choke names its notes by id when it has one; -1 is any.
TEST_F(ModuleClapTest, NoteIdsReleaseTheirOwnChordsAndAChokeStopsAtOnce) {
  ASSERT_TRUE(clap.setChunk(ChunkKind::Program, MakeState("scale 0 cell 0 0 0 cell 1 5 0")));
  clap.queueNoteEvent(0, CLAP_EVENT_NOTE_ON, 0, 36, 7, 1.0);
  clap.queueNoteEvent(0, CLAP_EVENT_NOTE_ON, 0, 37, 8, 1.0);
  ASSERT_TRUE(clap.process(1));
  EXPECT_EQ(Notes(clap.takeCapturedMidi()).size(), 6u);
  clap.queueNoteEvent(5, CLAP_EVENT_NOTE_OFF, -1, -1, 8, 0.0);  // only the note struck with id 8
  ASSERT_TRUE(clap.process(1));
  const std::vector<Note> offs = Notes(clap.takeCapturedMidi());
  ASSERT_EQ(offs.size(), 3u);
  for (const Note& n : offs) EXPECT_EQ(n.note % 12 == 5 || n.note % 12 == 9 || n.note % 12 == 0, true) << n;
  clap.queueNoteEvent(40, CLAP_EVENT_NOTE_CHOKE, 0, 36, -1, 0.0);
  ASSERT_TRUE(clap.process(1));
  const std::vector<Note> choked = Notes(clap.takeCapturedMidi());
  ASSERT_EQ(choked.size(), 3u);
  for (const Note& n : choked) EXPECT_EQ(n, (Note{0x80, n.note, 0, 40}));
}

// A count-in is not recorded; the song after it is.
TEST_F(ModuleClapTest, PreRollIsNotRecorded) {
  ASSERT_TRUE(clap.setChunk(ChunkKind::Program, MakeState("scale 0 cell 0 0 0 cell 1 5 0")));
  ASSERT_TRUE(clap.setParameter(kRecord, 1.0f));
  clap.setTransportPlaying(true);
  clap.setPreRoll(true);
  clap.queueNote(0, true, 36, 1.0);  // C maj in the count-in
  clap.queueNote(100, false, 36, 0.0);
  ASSERT_TRUE(clap.process(2));
  clap.setPreRoll(false);
  clap.queueNote(0, true, 37, 1.0);  // F maj in the song
  clap.queueNote(100, false, 37, 0.0);
  ASSERT_TRUE(clap.process(2));
  clap.setTransportPlaying(false);
  ASSERT_TRUE(clap.process(1));
  ASSERT_TRUE(home.WaitForExport());
  std::string text;
  if (FILE* pipe = popen(("midicsv '" + home.ExportFile().string() + "'").c_str(), "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, pipe)) text += line;
    pclose(pipe);
  }
  EXPECT_NE(text.find("Note_on_c, 0, 65, "), std::string::npos) << text;
  EXPECT_EQ(text.find("Note_on_c, 0, 60, "), std::string::npos) << text;
}

// Without a timer of the host's, the editor runs on a timer descriptor the
// host watches; a host offering neither gets no editor, and is told why.
TEST(ModuleClapPumpTest, WithoutAHostTimerAWatchedDescriptorPumpsOrTheEditorIsRefused) {
  DataHome home;
  ClapHost fdOnly;
  fdOnly.withhold(CLAP_EXT_TIMER_SUPPORT);
  ASSERT_TRUE(fdOnly.load(VELMORA_CLAP_MODULE)) << fdOnly.error();
  ASSERT_TRUE(fdOnly.createEditor());
  EXPECT_TRUE(fdOnly.timers().empty());
  ASSERT_EQ(fdOnly.descriptors().size(), 1u);
  pollfd ticking{fdOnly.descriptors()[0], POLLIN, 0};
  EXPECT_EQ(poll(&ticking, 1, 2000), 1);  // it ticks by itself
  fdOnly.fireDescriptor(ticking.fd);
  EXPECT_EQ(poll(&ticking, 1, 0), 0);  // and the pump took the tick
  fdOnly.destroyEditor();
  EXPECT_TRUE(fdOnly.descriptors().empty());

  ClapHost neither;
  neither.withhold(CLAP_EXT_TIMER_SUPPORT);
  neither.withhold(CLAP_EXT_POSIX_FD_SUPPORT);
  ASSERT_TRUE(neither.load(VELMORA_CLAP_MODULE)) << neither.error();
  EXPECT_FALSE(neither.createEditor());
  const std::vector<std::string> lines = neither.logLines();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.find("neither timer-support") != std::string::npos; }));
}

TEST_F(ModuleClapTest, TriggerKeysAreNamedAndTheHostHearsWhenTheGridChanges) {
  ASSERT_TRUE(clap.setChunk(ChunkKind::Program, MakeState("scale 0 cell 0 0 0")));
  auto names = clap.noteNames();
  ASSERT_EQ(names.size(), 16u);
  EXPECT_EQ(names[0], (std::pair<int, std::string>{36, "Cell 1: C maj"}));
  EXPECT_EQ(names[1], (std::pair<int, std::string>{37, "Cell 2: empty"}));
  const int before = clap.noteNameChanges();
  clap.queueParamValue(0, 8, 1.0);  // RandomizeGrid, as automation in a block
  ASSERT_TRUE(clap.process(1));
  clap.runMainThreadCallbacks();
  EXPECT_GT(clap.noteNameChanges(), before);
  EXPECT_NE(clap.noteNames(), names);
}

// Instances made and unmade as hosts do when they scan, with an editor
// created but never shown on some.
TEST(ModuleClapLifecycleTest, TwoHundredLifecycles) {
  DataHome home;
  ClapHost clap;
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(clap.load(VELMORA_CLAP_MODULE)) << i << ": " << clap.error();
    clap.resume();
    clap.queueNote(i % 512, true, static_cast<std::int16_t>(36 + i % 16), 0.5);
    ASSERT_TRUE(clap.process(1));
    if (i % 3 == 0) {
      ASSERT_TRUE(clap.createEditor());
    }
    if (i % 2 == 0) clap.suspend();
    clap.close();  // destroy as it is: active, or with its editor
    ASSERT_TRUE(clap.timers().empty());
  }
}

}  // namespace
}  // namespace velmora::integration
