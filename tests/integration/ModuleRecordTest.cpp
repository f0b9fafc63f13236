// What a host learns from Velmora.so before it plays anything: the effect
// record, the capability answers and the parameter texts.
#include <cstring>
#include <set>

#include "tests/integration/ModuleSupport.h"

namespace velmora::integration {
namespace {

constexpr std::int32_t FourCC(char a, char b, char c, char d) {
  return (std::int32_t{a} << 24) | (std::int32_t{b} << 16) | (std::int32_t{c} << 8) | std::int32_t{d};
}

TEST_F(ModuleTest, PublishesTheInstrumentsEffectRecord) {
  const AEffect& effect = *host.effect();
  EXPECT_EQ(effect.magic, FourCC('V', 's', 't', 'P'));
  EXPECT_EQ(std::vector<std::int32_t>({effect.numParams, effect.numPrograms, effect.numInputs,
                                       effect.numOutputs, effect.flags, effect.version}),
            std::vector<std::int32_t>({30, 8, 0, 2, 0x1131, 10400}));  // an editor, chunks, a synth
  EXPECT_EQ(effect.uniqueID, FourCC('V', 'e', 'l', 'm'));
  EXPECT_EQ(effect.initialDelay, 0);
  EXPECT_FLOAT_EQ(effect.ioRatio, 1.0f);
  EXPECT_NE(effect.process, nullptr);
  EXPECT_NE(effect.process, effect.processReplacing);
  EXPECT_NE(effect.processDoubleReplacing, nullptr);
  EXPECT_EQ(host.effectName(), "Velmora");
  EXPECT_EQ(host.vendorString(), "LumarexLLC");
  EXPECT_EQ(host.dispatch(effGetVendorVersion), 10400);
  EXPECT_EQ(host.dispatch(effGetPlugCategory), 2);  // kPlugCategSynth
  EXPECT_EQ(host.dispatch(effGetVstVersion), 2400);
}

TEST_F(ModuleTest, AnswersCapabilitiesExactly) {
  for (const char* yes : {"receiveVstTimeInfo", "sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                          "receiveVstMidiEvent"})
    EXPECT_EQ(host.canDo(yes), 1) << yes;
  for (const char* no : {"SendVstEvents", "sendVstEvents ", "offline", "midiProgramNames", ""})
    EXPECT_EQ(host.canDo(no), 0) << no;
  EXPECT_EQ(host.dispatch(effCanDo), 0);  // no text at all
}

TEST_F(ModuleTest, ParameterNamesFitTheInterfacesEightBytes) {
  Start(host);
  ASSERT_EQ(host.parameterCount(), 30);
  const std::vector<std::string> names{"ScalesD", "Exclusi", "NoteDro", "",        "Undo",    "Redo",
                                       "",        "",        "Randomi", "",        "",        "LooseMa",
                                       "",        "ClearEx", "Inclusi", "",        "ClearIn", "ClearNo",
                                       "ClearGr", "GridOct", "GridOct", "CustomI", "CustomI", "CustomI",
                                       "CustomI", "CustomI", "CustomI", "Record",  "Drag",    ""};
  for (std::int32_t i = 0; i < 30; ++i) {
    EXPECT_EQ(host.parameterName(i), names[static_cast<size_t>(i)]) << "parameter " << i;
    EXPECT_EQ(host.parameterLabel(i), "") << "parameter " << i;
  }
}

TEST_F(ModuleTest, ParameterDisplaysFollowTheirKinds) {
  Start(host);
  EXPECT_EQ(host.parameterDisplay(4), "off");   // Undo, Bool
  EXPECT_EQ(host.parameterDisplay(21), "on");   // CustomInversionRoot, Bool
  EXPECT_EQ(host.parameterDisplay(11), "0");    // LooseMatches, Int 0..4
  ASSERT_TRUE(host.setParameter(11, 0.75f));
  EXPECT_EQ(host.parameterDisplay(11), "3");
  ASSERT_TRUE(host.setParameter(27, 1.0f));
  EXPECT_EQ(host.parameterDisplay(27), "on");
  // Outside the parameters: nothing is written, nothing is read.
  EXPECT_EQ(host.parameterName(30), "");
  EXPECT_EQ(host.parameter(30), 0.0f);
  EXPECT_EQ(host.parameter(-1), 0.0f);
}

TEST_F(ModuleTest, ParameterTextsConvertBack) {
  Start(host);
  char off[] = "off";
  char nonsense[] = "maybe";
  ASSERT_TRUE(host.setParameter(21, 1.0f));
  EXPECT_EQ(host.dispatch(effString2Parameter, 21, 0, off), 1);
  EXPECT_EQ(host.parameterDisplay(21), "off");
  EXPECT_EQ(host.dispatch(effString2Parameter, 21, 0, nonsense), 0);
  EXPECT_EQ(host.parameterDisplay(21), "off");
}

// Hosts that ask (Ardour asks before the name) get the full name, a short
// label that tells the parameter apart, its kind and its group.
TEST_F(ModuleTest, ParameterPropertiesGiveFullNamesKindsAndGroups) {
  Start(host);
  std::vector<std::string> labels, shortLabels;
  std::vector<int> perCategory(8, 0);
  for (std::int32_t i = 0; i < 30; ++i) {
    VstParameterProperties p{};
    const std::intptr_t answered = host.dispatch(effGetParameterProperties, i, 0, &p);
    if (host.parameterName(i).empty()) {
      EXPECT_EQ(answered, 0) << i;  // the unnamed indices only bind controls
      continue;
    }
    ASSERT_EQ(answered, 1) << i;
    labels.push_back(p.label);
    shortLabels.push_back(p.shortLabel);
    EXPECT_EQ(std::string(p.label).rfind(host.parameterName(i), 0), 0u) << i;  // the 7 bytes start it
    EXPECT_LE(std::string(p.shortLabel).size(), 7u) << i;
    EXPECT_EQ((p.flags & kVstParameterIsSwitch) != 0, host.parameterDisplay(i) == "on" || host.parameterDisplay(i) == "off")
        << i;
    ASSERT_TRUE(p.flags & kVstParameterSupportsDisplayCategory) << i;
    ASSERT_GE(p.category, 1);
    ASSERT_LT(p.category, 8);
    perCategory[static_cast<size_t>(p.category)] += 1;
    EXPECT_GT(p.numParametersInCategory, 0) << i;
  }
  ASSERT_EQ(labels.size(), 22u);
  EXPECT_EQ(labels[0], "ScalesDropdown");
  EXPECT_EQ(labels.back(), "Drag");
  EXPECT_EQ(std::set<std::string>(labels.begin(), labels.end()).size(), 22u);
  EXPECT_EQ(std::set<std::string>(shortLabels.begin(), shortLabels.end()).size(), 22u);
  VstParameterProperties loose{};
  host.dispatch(effGetParameterProperties, 11, 0, &loose);
  EXPECT_TRUE((loose.flags & kVstParameterUsesIntegerMinMax) && loose.minInteger == 0 && loose.maxInteger == 4);
  EXPECT_EQ(perCategory[static_cast<size_t>(loose.category)], loose.numParametersInCategory);
  EXPECT_STREQ(loose.categoryLabel, "Filters");
}

TEST_F(ModuleTest, TriggerKeysAreNamedAfterTheirCells) {
  Start(host);
  ASSERT_TRUE(host.setChunk(ChunkKind::Program, MakeState("cell 0 0 0")));
  const auto name = [&](std::int32_t key) {
    MidiKeyName k{};
    k.thisKeyNumber = key;
    return host.dispatch(effGetMidiKeyName, 0, 0, &k) == 1 ? std::string(k.keyName) : std::string("-");
  };
  EXPECT_EQ(name(36), "Cell 1: C maj");
  EXPECT_EQ(name(51), "Cell 16: empty");
  EXPECT_EQ(name(35), "-");
  EXPECT_EQ(name(52), "-");
}

// REAPER documents 256-byte name buffers: it gets the whole name there.
std::intptr_t VST_CALL Reaper(AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr, float) {
  if (opcode == audioMasterVersion) return kVstVersion;
  if (opcode == audioMasterGetProductString && ptr != nullptr) {
    std::strcpy(static_cast<char*>(ptr), "REAPER");
    return 1;
  }
  return 0;
}

TEST(ModuleHostNames, ReaperGetsFullParameterNames) {
  host::PluginModule module;
  ASSERT_TRUE(module.load(VELMORA_MODULE)) << module.error();
  auto entry = reinterpret_cast<VstPluginEntryProc>(module.symbol("VSTPluginMain"));
  AEffect* effect = entry(&Reaper);
  ASSERT_NE(effect, nullptr);
  effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
  char name[256] = {};
  effect->dispatcher(effect, effGetParamName, 21, 0, name, 0.0f);
  EXPECT_STREQ(name, "CustomInversionRoot");
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

}  // namespace
}  // namespace velmora::integration
