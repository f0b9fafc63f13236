// What a host learns from Velmora.so before it plays anything: the effect
// record, the capability answers and the parameter texts.
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
            std::vector<std::int32_t>({30, 8, 0, 2, 0x1130, 10400}));
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

}  // namespace
}  // namespace velmora::integration
