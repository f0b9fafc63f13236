#include "tools/vsthost/MidiText.h"

#include <gtest/gtest.h>

namespace velmora::host {
namespace {

TEST(MidiText, NamesNotesWithMiddleCAsC4) {
  EXPECT_EQ(noteName(60), "C4");
  EXPECT_EQ(noteName(61), "C#4");
  EXPECT_EQ(noteName(0), "C-1");
  EXPECT_EQ(noteName(127), "G9");
  EXPECT_EQ(noteName(128), "?");
  EXPECT_EQ(noteName(-1), "?");
}

TEST(MidiText, ParsesNumbersAndNames) {
  const std::pair<const char*, int> accepted[] = {{"60", 60}, {"0", 0},    {"127", 127}, {"C4", 60},
                                                  {"c4", 60}, {"C#4", 61}, {"Db4", 61},  {"B3", 59},
                                                  {"C-1", 0}, {"G9", 127}, {"A4", 69}};
  for (const auto& [text, expected] : accepted) {
    int note = -1;
    EXPECT_TRUE(parseNote(text, note)) << text;
    EXPECT_EQ(note, expected) << text;
  }
  for (const char* text : {"", "128", "-1", "H4", "C", "C#", "G#9", "Cb-1", "C4x", "C--1", "1000", "C999"}) {
    int note = 42;
    EXPECT_FALSE(parseNote(text, note)) << text;
    EXPECT_EQ(note, 42) << text;
  }
}

TEST(MidiText, DescribesCapturedEvents) {
  CapturedMidi noteOn{3, 17, kVstMidiType, {0x91, 64, 100}};
  EXPECT_EQ(describeMidi(noteOn), "block 3  delta 17  status 91 note-on  ch 2  E4 (64)  vel 100");
  CapturedMidi control{0, 0, kVstMidiType, {0xB0, 7, 90}};
  EXPECT_EQ(describeMidi(control), "block 0  delta 0  status B0 control  ch 1  data 7 90");
  CapturedMidi sysex{-1, 0, kVstSysExType, {0xF0, 0x01, 0xF7}};
  EXPECT_EQ(describeMidi(sysex), "block -1  delta 0  sysex 3 bytes: F0 01 F7");
}

}  // namespace
}  // namespace velmora::host
