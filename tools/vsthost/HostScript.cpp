#include "tools/vsthost/HostScript.h"

#include "tools/vsthost/MidiText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <istream>
#include <iterator>
#include <ostream>

namespace velmora::host {

struct HostScript::Command {
  const char* name;
  const char* usage;
  std::size_t minWords;  // including the command itself
  std::size_t maxWords;
  bool (HostScript::*run)(const Words&);
};

namespace {

bool parseInt(const std::string& text, long long low, long long high, long long& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const long long parsed = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
  if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

bool parseReal(const std::string& text, double& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (errno != 0 || *end != '\0' || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool parseKind(const std::string& text, ChunkKind& kind) {
  if (text == "program") kind = ChunkKind::Program;
  else if (text == "bank") kind = ChunkKind::Bank;
  else return false;
  return true;
}

const char* automationKind(AutomationRecord::Kind kind) {
  switch (kind) {
    case AutomationRecord::Kind::Automate: return "automate";
    case AutomationRecord::Kind::BeginEdit: return "begin-edit";
    default: return "end-edit";
  }
}

}  // namespace

const std::vector<HostScript::Command>& HostScript::commands() {
  static const std::vector<Command> table = {
      {"load", "<path.so|.dll|.clap|.vst3> - load a VST 2.4, CLAP or VST 3 module and create its instance", 2, 2, &HostScript::load},
      {"open", "- effOpen", 1, 1, &HostScript::open},
      {"close", "- suspend if needed, effClose, unload the module", 1, 1, &HostScript::close},
      {"rate", "<hz> - effSetSampleRate", 2, 2, &HostScript::rate},
      {"block", "<frames> - effSetBlockSize; the frames of every processed block", 2, 2, &HostScript::block},
      {"resume", "- effMainsChanged 1", 1, 1, &HostScript::resume},
      {"suspend", "- effMainsChanged 0", 1, 1, &HostScript::suspend},
      {"tempo", "<bpm> - the tempo audioMasterGetTime reports", 2, 2, &HostScript::tempo},
      {"transport", "play|stop - the transport audioMasterGetTime reports", 2, 2, &HostScript::transport},
      {"offline", "on|off - answer the offline process level", 2, 2, &HostScript::offline},
      {"param", "<index|Name> <value> - setParameter with a normalised value", 3, 3, &HostScript::param},
      {"get-param", "<index|Name> - print one parameter", 2, 2, &HostScript::getParam},
      {"print-params", "- print every parameter: value, display, label", 1, 1, &HostScript::printParams},
      {"note-on", "<channel 1-16> <note> <velocity> [delta] - queue a note-on", 4, 5, &HostScript::noteOn},
      {"note-off", "<channel> <note> [velocity [delta]] - queue a note-off", 3, 5, &HostScript::noteOff},
      {"cc", "<channel> <controller> <value> [delta] - queue a control change", 4, 5,
       &HostScript::controlChange},
      {"midi", "<status> <data1> <data2> [delta] - queue raw bytes (0x.. for hex)", 4, 5, &HostScript::midi},
      {"process", "<blocks> - run blocks; queued events go with the block they fall in", 2, 2,
       &HostScript::process},
      {"print-midi", "- print the MIDI the plug-in sent since the last print", 1, 1, &HostScript::printMidi},
      {"print-automation", "- print the automation calls since the last print", 1, 1,
       &HostScript::printAutomation},
      {"info", "- print the effect record and the plug-in's names", 1, 1, &HostScript::info},
      {"can-do", "<text> - print the plug-in's effCanDo answer", 2, 2, &HostScript::canDo},
      {"get-chunk", "program|bank <file> - save effGetChunk to a file", 3, 3, &HostScript::getChunk},
      {"set-chunk", "program|bank <file> - effSetChunk from a file", 3, 3, &HostScript::setChunk},
      {"echo", "<text...> - print the text", 1, 64, &HostScript::echo},
      {"expect-midi-count", "<n> - the plug-in sent n events since the last print-midi", 2, 2,
       &HostScript::expectMidiCount},
      {"expect-automation-count", "<n> - n automation calls since the last print-automation", 2, 2,
       &HostScript::expectAutomationCount},
      {"expect-param", "<index|Name> <value> [tolerance] - check a normalised value", 3, 4,
       &HostScript::expectParam},
      {"expect-display", "<index|Name> <text> - check the parameter's display text", 3, 3,
       &HostScript::expectDisplay},
      {"expect-can-do", "<text> <answer> - check an effCanDo answer (1, 0 or -1)", 3, 3,
       &HostScript::expectCanDo},
      {"expect-sound", "- some output sample of the last process was not 0", 1, 1, &HostScript::expectSound},
      {"expect-silence", "- every output sample of the last process was 0", 1, 1, &HostScript::expectSilence},
  };
  return table;
}

std::vector<std::string> HostScript::commandHelp() {
  std::vector<std::string> help;
  for (const Command& command : commands()) help.push_back(std::string(command.name) + " " + command.usage);
  return help;
}

HostScript::HostScript(VstHost& host, std::ostream& out, std::vector<std::string> arguments)
    : vst_(host), active_(&host), out_(out), arguments_(std::move(arguments)) {}

bool HostScript::fail(const std::string& message) {
  error_ = message;
  return false;
}

bool HostScript::split(const std::string& line, Words& words) {
  words.clear();
  std::size_t i = 0;
  while (i < line.size()) {
    if (std::isspace(static_cast<unsigned char>(line[i]))) {
      ++i;
      continue;
    }
    if (line[i] == '#') break;
    std::string word;
    bool quoted = false;
    for (; i < line.size() && (quoted || !std::isspace(static_cast<unsigned char>(line[i]))); ++i) {
      const char c = line[i];
      if (c == '"') {
        quoted = !quoted;
      } else if (c == '$' && i + 1 < line.size() && line[i + 1] == '$') {
        word += '$';
        ++i;
      } else if (c == '$' && i + 1 < line.size() && line[i + 1] >= '1' && line[i + 1] <= '9') {
        const auto n = static_cast<std::size_t>(line[++i] - '1');
        if (n >= arguments_.size()) return fail("no argument $" + std::to_string(n + 1) + " was given");
        word += arguments_[n];
      } else {
        word += c;
      }
    }
    if (quoted) return fail("unterminated quote");
    words.push_back(word);
  }
  return true;
}

bool HostScript::runLine(const std::string& line) {
  error_.clear();
  Words words;
  if (!split(line, words)) return false;
  if (words.empty()) return true;
  for (const Command& command : commands()) {
    if (words[0] != command.name) continue;
    if (echo_) out_ << "> " << line.substr(line.find_first_not_of(" \t")) << '\n';
    if (words.size() < command.minWords || words.size() > command.maxWords)
      return fail(std::string("usage: ") + command.name + " " + command.usage);
    return (this->*command.run)(words);
  }
  return fail("unknown command '" + words[0] + "'");
}

int HostScript::run(std::istream& in, std::ostream& err) {
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!runLine(line)) {
      out_.flush();
      err << "error: line " << number << ": " << error_ << std::endl;
      return 1;
    }
  }
  out_.flush();
  return 0;
}

bool HostScript::needPlugin() {
  return host().isLoaded() || fail("no plug-in loaded (use load <module>)");
}

bool HostScript::parameterIndex(const std::string& text, std::int32_t& index) {
  if (!needPlugin()) return false;
  long long number = 0;
  if (parseInt(text, 0, host().parameterCount() - 1, number)) {
    index = static_cast<std::int32_t>(number);
    return true;
  }
  index = host().findParameter(text);
  return index >= 0 || fail("no parameter '" + text + "' (" + std::to_string(host().parameterCount()) +
                            " parameters)");
}

bool HostScript::load(const Words& w) {
  const std::string& path = w[1];
  auto endsWith = [&path](const char* suffix) {
    const std::string s(suffix);
    return path.size() > s.size() && path.compare(path.size() - s.size(), s.size(), s) == 0;
  };
  // One instance at a time, of any format.
  active_->close();
  active_ = endsWith(".clap")                           ? static_cast<PluginHost*>(&clap_)
            : endsWith(".vst3") || endsWith(".vst3/") ? static_cast<PluginHost*>(&vst3_)
                                                      : static_cast<PluginHost*>(&vst_);
  if (!host().load(path)) return fail(host().error());
  processed_ = false;
  out_ << "loaded " << w[1] << '\n';
  return true;
}

bool HostScript::open(const Words&) {
  if (!needPlugin()) return false;
  host().open();
  return true;
}

bool HostScript::close(const Words&) {
  if (!needPlugin()) return false;
  host().close();
  out_ << "closed\n";
  return true;
}

bool HostScript::rate(const Words& w) {
  double hz = 0.0;
  if (!parseReal(w[1], hz) || hz < 1.0 || hz > 1e7) return fail("bad sample rate '" + w[1] + "'");
  if (!needPlugin()) return false;
  host().setSampleRate(hz);
  return true;
}

bool HostScript::block(const Words& w) {
  long long frames = 0;
  if (!parseInt(w[1], 1, VstHost::kMaxBlockSize, frames))
    return fail("bad block size '" + w[1] + "' (1.." + std::to_string(VstHost::kMaxBlockSize) + ")");
  if (!needPlugin()) return false;
  return host().setBlockSize(static_cast<std::int32_t>(frames)) || fail(host().error());
}

bool HostScript::resume(const Words&) {
  if (!needPlugin()) return false;
  host().resume();
  return true;
}

bool HostScript::suspend(const Words&) {
  if (!needPlugin()) return false;
  host().suspend();
  return true;
}

bool HostScript::tempo(const Words& w) {
  double bpm = 0.0;
  if (!parseReal(w[1], bpm) || bpm <= 0.0 || bpm > 10000.0) return fail("bad tempo '" + w[1] + "'");
  host().setTempo(bpm);
  return true;
}

bool HostScript::transport(const Words& w) {
  if (w[1] != "play" && w[1] != "stop") return fail("transport takes play or stop");
  host().setTransportPlaying(w[1] == "play");
  return true;
}

bool HostScript::offline(const Words& w) {
  if (w[1] != "on" && w[1] != "off") return fail("offline takes on or off");
  host().setOffline(w[1] == "on");
  return true;
}

bool HostScript::param(const Words& w) {
  std::int32_t index = 0;
  double value = 0.0;
  if (!parameterIndex(w[1], index)) return false;
  if (!parseReal(w[2], value)) return fail("bad parameter value '" + w[2] + "'");
  return host().setParameter(index, static_cast<float>(value)) || fail(host().error());
}

bool HostScript::getParam(const Words& w) {
  std::int32_t index = 0;
  if (!parameterIndex(w[1], index)) return false;
  out_ << "param " << index << ' ' << host().parameterName(index) << " = " << host().parameter(index) << " \""
       << host().parameterDisplay(index) << "\" " << host().parameterLabel(index) << '\n';
  return true;
}

bool HostScript::printParams(const Words&) {
  if (!needPlugin()) return false;
  out_ << "params: " << host().parameterCount() << '\n';
  for (std::int32_t i = 0; i < host().parameterCount(); ++i) {
    out_ << "  " << std::setw(3) << i << "  " << std::left << std::setw(24) << host().parameterName(i)
         << std::right << std::fixed << std::setprecision(6) << host().parameter(i) << std::defaultfloat
         << "  \"" << host().parameterDisplay(i) << "\" " << host().parameterLabel(i) << '\n';
  }
  return true;
}

bool HostScript::queueShort(std::uint8_t status, int data1, int data2, const Words& w, std::size_t deltaAt) {
  if (!needPlugin()) return false;
  long long delta = 0;
  if (w.size() > deltaAt && !parseInt(w[deltaAt], 0, INT32_MAX, delta))
    return fail("bad delta '" + w[deltaAt] + "'");
  host().queueMidi(static_cast<std::int32_t>(delta), status, static_cast<std::uint8_t>(data1),
                  static_cast<std::uint8_t>(data2));
  return true;
}

bool HostScript::noteOn(const Words& w) {
  long long channel = 0, velocity = 0;
  int note = 0;
  if (!parseInt(w[1], 1, 16, channel)) return fail("bad channel '" + w[1] + "' (1-16)");
  if (!parseNote(w[2], note)) return fail("bad note '" + w[2] + "' (0-127 or a name like C4)");
  if (!parseInt(w[3], 0, 127, velocity)) return fail("bad velocity '" + w[3] + "' (0-127)");
  return queueShort(static_cast<std::uint8_t>(0x90 + channel - 1), note, static_cast<int>(velocity), w, 4);
}

bool HostScript::noteOff(const Words& w) {
  long long channel = 0, velocity = 0;
  int note = 0;
  if (!parseInt(w[1], 1, 16, channel)) return fail("bad channel '" + w[1] + "' (1-16)");
  if (!parseNote(w[2], note)) return fail("bad note '" + w[2] + "' (0-127 or a name like C4)");
  if (w.size() > 3 && !parseInt(w[3], 0, 127, velocity)) return fail("bad velocity '" + w[3] + "' (0-127)");
  return queueShort(static_cast<std::uint8_t>(0x80 + channel - 1), note, static_cast<int>(velocity), w, 4);
}

bool HostScript::controlChange(const Words& w) {
  long long channel = 0, controller = 0, value = 0;
  if (!parseInt(w[1], 1, 16, channel)) return fail("bad channel '" + w[1] + "' (1-16)");
  if (!parseInt(w[2], 0, 127, controller)) return fail("bad controller '" + w[2] + "' (0-127)");
  if (!parseInt(w[3], 0, 127, value)) return fail("bad value '" + w[3] + "' (0-127)");
  return queueShort(static_cast<std::uint8_t>(0xB0 + channel - 1), static_cast<int>(controller),
                    static_cast<int>(value), w, 4);
}

bool HostScript::midi(const Words& w) {
  long long bytes[3] = {};
  for (int i = 0; i < 3; ++i)
    if (!parseInt(w[static_cast<std::size_t>(i) + 1], 0, 255, bytes[i]))
      return fail("bad byte '" + w[static_cast<std::size_t>(i) + 1] + "' (0-255, 0x.. for hex)");
  return queueShort(static_cast<std::uint8_t>(bytes[0]), static_cast<int>(bytes[1]), static_cast<int>(bytes[2]),
                    w, 4);
}

bool HostScript::process(const Words& w) {
  long long blocks = 0;
  if (!parseInt(w[1], 0, INT32_MAX, blocks)) return fail("bad block count '" + w[1] + "'");
  if (!needPlugin()) return false;
  lastPeak_ = 0.0f;
  for (long long i = 0; i < blocks; ++i) {
    if (!host().process(1)) return fail(host().error());
    lastPeak_ = std::max(lastPeak_, host().outputPeak());
  }
  processed_ = true;
  out_ << "processed " << blocks << " block" << (blocks == 1 ? "" : "s") << " of " << host().blockSize()
       << " frames (blocks so far " << host().blocksProcessed() << ", peak " << lastPeak_ << ")\n";
  return true;
}

bool HostScript::printMidi(const Words&) {
  const std::vector<CapturedMidi> events = host().takeCapturedMidi();
  out_ << "midi: " << events.size() << " event" << (events.size() == 1 ? "" : "s") << '\n';
  for (const CapturedMidi& event : events) out_ << "  " << describeMidi(event) << '\n';
  return true;
}

bool HostScript::printAutomation(const Words&) {
  const std::vector<AutomationRecord> records = host().takeAutomation();
  out_ << "automation: " << records.size() << " call" << (records.size() == 1 ? "" : "s") << '\n';
  for (const AutomationRecord& record : records) {
    out_ << "  " << automationKind(record.kind) << ' ' << record.index;
    if (record.kind == AutomationRecord::Kind::Automate) out_ << ' ' << record.value;
    out_ << '\n';
  }
  return true;
}

bool HostScript::info(const Words&) {
  if (!needPlugin()) return false;
  host().describe(out_);
  return true;
}

bool HostScript::canDo(const Words& w) {
  if (!needPlugin()) return false;
  out_ << "can-do " << w[1] << ": " << host().canDo(w[1]) << '\n';
  return true;
}

bool HostScript::getChunk(const Words& w) {
  ChunkKind kind{};
  if (!parseKind(w[1], kind)) return fail("get-chunk takes program or bank");
  if (!needPlugin()) return false;
  std::vector<std::uint8_t> data;
  if (!host().getChunk(kind, data)) return fail(host().error());
  std::ofstream file(w[2], std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!file.flush()) return fail("cannot write " + w[2]);
  out_ << w[1] << " chunk: " << data.size() << " bytes saved to " << w[2] << '\n';
  return true;
}

bool HostScript::setChunk(const Words& w) {
  ChunkKind kind{};
  if (!parseKind(w[1], kind)) return fail("set-chunk takes program or bank");
  if (!needPlugin()) return false;
  std::ifstream file(w[2], std::ios::binary);
  if (!file) return fail("cannot read " + w[2]);
  const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (!host().setChunk(kind, data)) return fail(host().error());
  out_ << w[1] << " chunk: " << data.size() << " bytes loaded from " << w[2] << '\n';
  return true;
}

bool HostScript::echo(const Words& w) {
  for (std::size_t i = 1; i < w.size(); ++i) out_ << (i > 1 ? " " : "") << w[i];
  out_ << '\n';
  return true;
}

bool HostScript::expectMidiCount(const Words& w) {
  long long expected = 0;
  if (!parseInt(w[1], 0, INT32_MAX, expected)) return fail("bad count '" + w[1] + "'");
  const auto count = static_cast<long long>(host().capturedMidi().size());
  return count == expected ||
         fail("expected " + std::to_string(expected) + " MIDI events, got " + std::to_string(count));
}

bool HostScript::expectAutomationCount(const Words& w) {
  long long expected = 0;
  if (!parseInt(w[1], 0, INT32_MAX, expected)) return fail("bad count '" + w[1] + "'");
  const auto count = static_cast<long long>(host().automation().size());
  return count == expected ||
         fail("expected " + std::to_string(expected) + " automation calls, got " + std::to_string(count));
}

bool HostScript::expectParam(const Words& w) {
  std::int32_t index = 0;
  double expected = 0.0, tolerance = 1e-6;
  if (!parameterIndex(w[1], index)) return false;
  if (!parseReal(w[2], expected)) return fail("bad value '" + w[2] + "'");
  if (w.size() > 3 && (!parseReal(w[3], tolerance) || tolerance < 0.0)) return fail("bad tolerance '" + w[3] + "'");
  const double actual = host().parameter(index);
  return std::fabs(actual - expected) <= tolerance ||
         fail("parameter " + std::to_string(index) + " is " + std::to_string(actual) + ", expected " + w[2]);
}

bool HostScript::expectDisplay(const Words& w) {
  std::int32_t index = 0;
  if (!parameterIndex(w[1], index)) return false;
  const std::string actual = host().parameterDisplay(index);
  return actual == w[2] ||
         fail("parameter " + std::to_string(index) + " shows \"" + actual + "\", expected \"" + w[2] + "\"");
}

bool HostScript::expectCanDo(const Words& w) {
  long long expected = 0;
  if (!parseInt(w[2], -1, 1, expected)) return fail("bad answer '" + w[2] + "' (1, 0 or -1)");
  if (!needPlugin()) return false;
  const std::intptr_t actual = host().canDo(w[1]);
  return actual == expected ||
         fail("can-do " + w[1] + " answered " + std::to_string(actual) + ", expected " + w[2]);
}

bool HostScript::expectSound(const Words&) {
  if (!processed_) return fail("nothing processed yet");
  return lastPeak_ > 0.0f || fail("the last process was silent");
}

bool HostScript::expectSilence(const Words&) {
  if (!processed_) return fail("nothing processed yet");
  return lastPeak_ == 0.0f || fail("the last process was not silent (peak " + std::to_string(lastPeak_) + ")");
}

}  // namespace velmora::host
