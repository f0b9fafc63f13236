// velmora-host as a command: exit status and what it prints.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct Outcome {
  int status = -1;
  std::string output;  // standard output and error together
};

Outcome runHost(const std::string& arguments, const std::string& input = "") {
  std::string command = "'" VELMORA_HOST_EXECUTABLE "' " + arguments + " 2>&1";
  if (!input.empty()) command = "printf '" + input + "' | " + command;  // input is a printf format
  Outcome outcome;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return outcome;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) outcome.output.append(buffer, n);
  const int status = pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

TEST(HostCli, RunsTheNullSessionScript) {
  const Outcome outcome =
      runHost("'" VELMORA_SCRIPT_DIR "/null-session.txt' '" VELMORA_NULL_PLUGIN "'");
  EXPECT_EQ(outcome.status, 0) << outcome.output;
  EXPECT_NE(outcome.output.find("> load "), std::string::npos);
  EXPECT_NE(outcome.output.find("uniqueID       VNul (0x564E756C)"), std::string::npos) << outcome.output;
  EXPECT_NE(outcome.output.find("processed 4 blocks of 256 frames"), std::string::npos);
  EXPECT_NE(outcome.output.find("midi: 0 events"), std::string::npos);
  EXPECT_NE(outcome.output.find("closed"), std::string::npos);
}

TEST(HostCli, ReadsStandardInputAndFailsWithTheLineNumber) {
  const Outcome outcome = runHost("-q -", "# nothing loaded yet\\n\\nopen\\n");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.output.find("error: line 3: no plug-in loaded"), std::string::npos) << outcome.output;
  EXPECT_EQ(outcome.output.find("> open"), std::string::npos);
}

TEST(HostCli, ReportsAMissingScriptAndPrintsHelp) {
  EXPECT_EQ(runHost("/nonexistent/session.txt").status, 2);
  const Outcome help = runHost("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("note-on <channel 1-16> <note> <velocity> [delta]"), std::string::npos);
}

}  // namespace
