#include "tools/vsthost/HostScript.h"

#include <gtest/gtest.h>

#include <sstream>

namespace velmora::host {
namespace {

class HostScriptTest : public ::testing::Test {
protected:
  HostScriptTest() : script(host, out, {VELMORA_ECHO_PLUGIN, VELMORA_NULL_PLUGIN}) { script.setEcho(false); }

  // Runs the lines; the status and what went to the error stream.
  int run(const std::string& text) {
    std::istringstream in(text);
    return script.run(in, err);
  }
  bool contains(const std::string& piece) const { return out.str().find(piece) != std::string::npos; }

  VstHost host;
  std::ostringstream out;
  std::ostringstream err;
  HostScript script;
};

TEST_F(HostScriptTest, SplitsWordsQuotesCommentsAndArguments) {
  HostScript::Words words;
  ASSERT_TRUE(script.split("  load \"a b\"  $2 # comment $9", words));
  EXPECT_EQ(words, (HostScript::Words{"load", "a b", VELMORA_NULL_PLUGIN}));
  ASSERT_TRUE(script.split("echo cost$$5 x#y", words));
  EXPECT_EQ(words, (HostScript::Words{"echo", "cost$5", "x#y"}));
  EXPECT_FALSE(script.split("load $3", words));
  EXPECT_NE(script.error().find("$3"), std::string::npos);
  EXPECT_FALSE(script.split("echo \"open", words));
}

TEST_F(HostScriptTest, RunsASessionAndPrintsTheEchoedMidi) {
  const int status = run(
      "load $1\n"
      "open\nrate 44100\nblock 128\nresume\n"
      "note-on 1 C4 100\n"
      "note-off 1 60 0 130\n"
      "process 2\n"
      "expect-midi-count 2\n"
      "print-midi\n"
      "expect-midi-count 0\n"
      "param Gain 0.5\n"
      "expect-param 0 0.5\n"
      "expect-display Gain 50\n"
      "expect-automation-count 3\n"
      "print-automation\n"
      "expect-can-do receiveVstMidiEvent 1\n"
      "expect-sound\n"
      "close\n");
  EXPECT_EQ(status, 0) << err.str();
  EXPECT_TRUE(contains("midi: 2 events\n"
                       "  block 0  delta 0  status 90 note-on  ch 1  C4 (60)  vel 100\n"
                       "  block 1  delta 2  status 80 note-off  ch 1  C4 (60)  vel 0\n"))
      << out.str();
  EXPECT_TRUE(contains("  automate 0 0.5\n"));
}

TEST_F(HostScriptTest, PrintsTheEffectRecord) {
  ASSERT_EQ(run("load $1\ninfo\nprint-params\n"), 0) << err.str();
  EXPECT_TRUE(contains("magic          VstP (0x56737450)\n"));
  EXPECT_TRUE(contains("flags          0x00000130 (CanReplacing ProgramChunks IsSynth)\n"));
  EXPECT_TRUE(contains("uniqueID       Echo (0x4563686F)\n"));
  EXPECT_TRUE(contains("version        7 (0x00000007)\n"));
  EXPECT_TRUE(contains("category       0 (Unknown)\n"));
  EXPECT_TRUE(contains("params: 1\n"));
  EXPECT_TRUE(contains("Gain"));
}

TEST_F(HostScriptTest, SavesAndRestoresChunks) {
  const std::string file = ::testing::TempDir() + "velmora-host-echo.chunk";
  ASSERT_EQ(run("load $1\nparam 0 0.3\nget-chunk program " + file + "\nparam 0 0.8\nset-chunk program " +
                file + "\nexpect-param Gain 0.3 0.001\n"),
            0)
      << err.str();
  EXPECT_TRUE(contains("program chunk: 5 bytes saved to " + file));
  std::remove(file.c_str());
}

struct FailingLine {
  const char* name;
  const char* script;
  const char* message;
};

void PrintTo(const FailingLine& line, std::ostream* out) { *out << line.name; }

class HostScriptFailure : public HostScriptTest, public ::testing::WithParamInterface<FailingLine> {};

TEST_P(HostScriptFailure, StopsAtTheFirstFailedCommand) {
  const FailingLine& line = GetParam();
  EXPECT_EQ(run(std::string(line.script) + "\necho not reached\n"), 1);
  EXPECT_NE(err.str().find(line.message), std::string::npos) << err.str();
  EXPECT_FALSE(contains("not reached"));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HostScriptFailure,
    ::testing::Values(FailingLine{"UnknownCommand", "frobnicate", "error: line 1: unknown command 'frobnicate'"},
                      FailingLine{"NothingLoaded", "open", "no plug-in loaded"},
                      FailingLine{"MissingModule", "load /nonexistent.so", "line 1:"},
                      FailingLine{"Suspended", "load $2\nopen\nprocess 1", "line 3: the plug-in is suspended"},
                      FailingLine{"BadChannel", "load $2\nnote-on 17 60 100", "bad channel '17'"},
                      FailingLine{"BadNoteName", "load $2\nnote-on 1 C10 100", "bad note 'C10'"},
                      FailingLine{"BadVelocity", "load $2\nnote-on 1 60 128", "bad velocity '128'"},
                      FailingLine{"NegativeDelta", "load $2\nnote-on 1 60 100 -5", "bad delta '-5'"},
                      FailingLine{"ZeroBlockSize", "load $2\nblock 0", "bad block size '0'"},
                      FailingLine{"BadRate", "load $2\nrate fast", "bad sample rate 'fast'"},
                      FailingLine{"UnknownParameter", "load $2\nparam Volume 0.5", "no parameter 'Volume'"},
                      FailingLine{"NanValue", "load $1\nparam 0 nan", "bad parameter value 'nan'"},
                      FailingLine{"NoChunk", "load $2\nget-chunk program /tmp/x", "the plug-in gave no chunk"},
                      FailingLine{"BadChunkKind", "load $2\nget-chunk preset /tmp/x", "takes program or bank"},
                      FailingLine{"MissingChunkFile", "load $1\nset-chunk bank /nonexistent/chunk", "cannot read"},
                      FailingLine{"CanDoMismatch", "load $2\nexpect-can-do sendVstEvents 1", "answered 0, expected 1"},
                      FailingLine{"NothingProcessed", "load $2\nexpect-sound", "nothing processed yet"},
                      FailingLine{"Silence", "load $2\nresume\nprocess 1\nexpect-sound", "the last process was silent"},
                      FailingLine{"Sound", "load $1\nresume\nprocess 1\nexpect-silence", "was not silent"},
                      FailingLine{"ParamMismatch", "load $1\nexpect-param 0 0.9", "parameter 0 is 0.25"},
                      FailingLine{"MidiCountMismatch", "load $2\nexpect-midi-count 1", "expected 1 MIDI events, got 0"},
                      FailingLine{"BadTransport", "transport run", "transport takes play or stop"},
                      FailingLine{"MissingArgument", "process", "usage: process <blocks>"}),
    [](const ::testing::TestParamInfo<FailingLine>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::host
