#pragma once

#include "tools/vsthost/ClapHost.h"
#include "tools/vsthost/VstHost.h"
#include "tools/vsthost/Vst3Host.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::host {

// The line-based session language of velmora-host: one command a line,
// '#' starts a comment, "double quotes" keep spaces in one word, and $1..$9
// stand for the arguments given after the script ($$ for a dollar sign).
//
// `load` takes a VST 2.4 module (.so, .dll) into the given VstHost, a CLAP
// module (.clap) or a VST 3 bundle (.vst3) into a host of the script's own;
// every other command works on whichever was loaded last. CLAP parameters
// are normalised over their ranges, and the program chunk is the CLAP or
// VST 3 processor's state.
class HostScript {
public:
  HostScript(VstHost& host, std::ostream& out, std::vector<std::string> arguments = {});

  // The CLAP host, for tests that look further after a script ran.
  ClapHost& clapHost() { return clap_; }
  Vst3Host& vst3Host() { return vst3_; }

  // Echo each command before its output ("> command").
  void setEcho(bool echo) { echo_ = echo; }
  // Runs one line; false when its command failed, with error() saying why.
  bool runLine(const std::string& line);
  // Runs every line up to the first failure, which is reported on err with
  // its line number; 0 when every command succeeded, else 1.
  int run(std::istream& in, std::ostream& err);
  const std::string& error() const { return error_; }

  // "name arguments - what it does" for every command.
  static std::vector<std::string> commandHelp();

  using Words = std::vector<std::string>;
  // Splits a line into words (quotes, comments, $N); false on a bad line.
  bool split(const std::string& line, Words& words);

private:
  struct Command;
  static const std::vector<Command>& commands();

  bool fail(const std::string& message);
  bool needPlugin();
  bool parameterIndex(const std::string& text, std::int32_t& index);
  bool queueShort(std::uint8_t status, int data1, int data2, const Words& words, std::size_t deltaAt);

  bool load(const Words& w);
  bool open(const Words& w);
  bool close(const Words& w);
  bool rate(const Words& w);
  bool block(const Words& w);
  bool resume(const Words& w);
  bool suspend(const Words& w);
  bool tempo(const Words& w);
  bool transport(const Words& w);
  bool offline(const Words& w);
  bool param(const Words& w);
  bool getParam(const Words& w);
  bool printParams(const Words& w);
  bool noteOn(const Words& w);
  bool noteOff(const Words& w);
  bool controlChange(const Words& w);
  bool midi(const Words& w);
  bool process(const Words& w);
  bool printMidi(const Words& w);
  bool printAutomation(const Words& w);
  bool info(const Words& w);
  bool canDo(const Words& w);
  bool getChunk(const Words& w);
  bool setChunk(const Words& w);
  bool echo(const Words& w);
  bool expectMidiCount(const Words& w);
  bool expectAutomationCount(const Words& w);
  bool expectParam(const Words& w);
  bool expectDisplay(const Words& w);
  bool expectCanDo(const Words& w);
  bool expectSound(const Words& w);
  bool expectSilence(const Words& w);

  PluginHost& host() { return *active_; }

  VstHost& vst_;
  ClapHost clap_;
  Vst3Host vst3_;
  PluginHost* active_;
  std::ostream& out_;
  std::vector<std::string> arguments_;
  std::string error_;
  bool echo_ = true;
  float lastPeak_ = 0.0f;
  bool processed_ = false;
};

}  // namespace velmora::host
