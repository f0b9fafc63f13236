#include "tools/x11host/BlockProcessing.h"

#include "tools/vsthost/MidiText.h"

namespace velmora::host {

namespace {

using Clock = std::chrono::steady_clock;

std::string Hex(int byte) {
  char text[4];
  std::snprintf(text, sizeof text, "%02x", byte & 0xff);
  return text;
}

std::string Meaning(int status, int data1, int data2) {
  const std::string note = noteName(data1);
  std::string text;
  switch (status & 0xf0) {
    case 0x80: text = "note-off " + note + " vel " + std::to_string(data2); break;
    case 0x90:
      text = data2 ? "note-on " + note + " vel " + std::to_string(data2) : "note-off " + note + " (note-on vel 0)";
      break;
    case 0xa0: text = "aftertouch " + note + " value " + std::to_string(data2); break;
    case 0xb0: text = "control " + std::to_string(data1) + " value " + std::to_string(data2); break;
    case 0xc0: text = "program " + std::to_string(data1); break;
    case 0xd0: text = "pressure " + std::to_string(data1); break;
    case 0xe0: text = "pitch-bend " + std::to_string((data2 << 7 | data1) - 8192); break;
    default: return "system";
  }
  if ((status & 0x0f) != 0) text += " ch " + std::to_string((status & 0x0f) + 1);
  return text;
}

}  // namespace

BlockProcessing::BlockProcessing(VstHost& vst, std::FILE* out)
    : vst_(vst),
      out_(out),
      period_(std::chrono::duration_cast<std::chrono::nanoseconds>(
          std::chrono::duration<double>(double(vst.blockSize()) / vst.sampleRate()))) {}

BlockProcessing::~BlockProcessing() { stop(); }

void BlockProcessing::start() {
  if (processing_.joinable()) return;
  stop_ = false;
  printStop_ = false;
  printer_ = std::thread([this] { printLoop(); });
  processing_ = std::thread([this] { processLoop(); });
}

void BlockProcessing::stop(int tailBlocks) {
  if (processing_.joinable()) {
    const std::int64_t until = blocks_ + tailBlocks;
    const Clock::time_point deadline = Clock::now() + period_ * tailBlocks * 4 + std::chrono::seconds(1);
    while (blocks_ < until && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    stop_ = true;
    processing_.join();
    // What the plug-in sent outside blocks meanwhile (the editor's close).
    post(vst_.takeCapturedMidi());
  }
  if (printer_.joinable()) {
    {
      std::lock_guard<std::mutex> guard(printMutex_);
      printStop_ = true;
    }
    printWake_.notify_all();
    printer_.join();
  }
}

bool BlockProcessing::queueMidi(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  std::int64_t due = 0;
  {
    std::lock_guard<std::mutex> guard(vstMutex_);
    if (!vst_.queueMidi(0, status, data1, data2)) return false;
    due = blocks_ + 1;
  }
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(1);
  while (blocks_ < due) {
    if (Clock::now() >= deadline || !processing_.joinable()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void BlockProcessing::processLoop() {
  Clock::time_point next = Clock::now();
  while (!stop_) {
    std::vector<CapturedMidi> sent;
    {
      std::lock_guard<std::mutex> guard(vstMutex_);
      vst_.process(1);
      sent = vst_.takeCapturedMidi();
      // Counted under the lock: a note queued now is due in the next block.
      ++blocks_;
    }
    if (!sent.empty()) post(std::move(sent));
    next += period_;
    const Clock::time_point now = Clock::now();
    // A late block is an xrun: the clock starts again from now rather than
    // rushing blocks out to catch up.
    if (next < now) {
      ++late_;
      next = now;
    } else {
      std::this_thread::sleep_until(next);
    }
  }
}

void BlockProcessing::post(std::vector<CapturedMidi> events) {
  if (events.empty()) return;
  {
    std::lock_guard<std::mutex> guard(printMutex_);
    toPrint_.push_back(std::move(events));
  }
  printWake_.notify_all();
}

void BlockProcessing::printLoop() {
  std::unique_lock<std::mutex> lock(printMutex_);
  for (;;) {
    printWake_.wait(lock, [this] { return printStop_ || !toPrint_.empty(); });
    if (toPrint_.empty()) return;
    const std::vector<CapturedMidi> events = std::move(toPrint_.front());
    toPrint_.pop_front();
    lock.unlock();
    print(events);
    lock.lock();
  }
}

void BlockProcessing::print(const std::vector<CapturedMidi>& events) {
  for (const CapturedMidi& event : events) {
    std::fprintf(out_, "%s\n", Describe(event).c_str());
    if (event.type != kVstMidiType || event.bytes.size() < 3) continue;
    const int kind = event.bytes[0] & 0xf0, data1 = event.bytes[1] & 0x7f, data2 = event.bytes[2];
    auto& channel = sounding_[event.bytes[0] & 0x0f];
    if (kind == 0x90 && data2 > 0) {
      ++channel[std::size_t(data1)];
    } else if (kind == 0x80 || kind == 0x90) {
      if (channel[std::size_t(data1)] > 0) --channel[std::size_t(data1)];
    } else if (kind == 0xb0 && (data1 == 120 || data1 == 123)) {
      // All Sound Off and All Notes Off silence the channel, as a synth does.
      channel.fill(0);
    }
  }
  std::fflush(out_);
}

std::string BlockProcessing::stillSounding() const {
  std::string numbers, names;
  for (int note = 0; note < 128; ++note) {
    for (int channel = 0; channel < 16; ++channel) {
      const int count = sounding_[std::size_t(channel)][std::size_t(note)];
      if (count == 0) continue;
      std::string one = std::to_string(note);
      if (count > 1) one += "x" + std::to_string(count);
      if (channel != 0) one += "/ch" + std::to_string(channel + 1);
      numbers += (numbers.empty() ? "" : " ") + one;
      names += (names.empty() ? "" : " ") + noteName(note);
    }
  }
  return numbers.empty() ? "none" : numbers + " (" + names + ")";
}

std::string BlockProcessing::Describe(const CapturedMidi& event) {
  std::string line = event.block >= 0 ? "block " + std::to_string(event.block) : std::string("outside blocks");
  line += " frame " + std::to_string(event.deltaFrames) + ":";
  if (event.type == kVstSysExType) {
    line += " sysex " + std::to_string(event.bytes.size()) + " bytes:";
    for (std::uint8_t byte : event.bytes) line += " " + Hex(byte);
    return line;
  }
  for (std::uint8_t byte : event.bytes) line += " " + Hex(byte);
  const int status = event.bytes.size() > 0 ? event.bytes[0] : 0;
  const int data1 = event.bytes.size() > 1 ? event.bytes[1] & 0x7f : 0;
  const int data2 = event.bytes.size() > 2 ? event.bytes[2] & 0x7f : 0;
  return line + "  " + Meaning(status, data1, data2);
}

}  // namespace velmora::host
