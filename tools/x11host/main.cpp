// velmora-x11-host: opens a VST 2.4 plug-in's editor in a window of its own.
//   velmora-x11-host MODULE                      until the window is closed
//   velmora-x11-host MODULE --screenshot FILE    the drawn editor as a PNG
//   velmora-x11-host MODULE --measure [SECONDS]  first-frame time and idle CPU
//   velmora-x11-host MODULE --stress [SECONDS]   processing blocks while clicks and drags
//                                                 hit the editor as fast as they can
//   --set INDEX=VALUE (repeatable) sets a parameter (0..1) before the editor opens.
//   --chunk FILE restores a program chunk before the editor opens.
//   --rate HZ, --block FRAMES: the host's sample rate and block size (48000, 256).
// Then, in order, with the editor open (editor coordinates):
//   --click X,Y[,BUTTON]   a click (button 3: the right one)
//   --menu X,Y,ITEM        a click that opens a popup menu, then its item ITEM (from 0)
//   --note NOTE            a host note-on, processed in the next block
//   --hold X,Y             the left button pressed there and held (for a screenshot)
//   --carry X,Y            the held button carried there in a few moves (outside
//                          the window too: a chord then leaves it as a file drag)
//   --drop-target X,Y,W,H  (before the others) a drop target on the screen at X,Y,
//                          W x H, which takes any dropped file and prints "dropped: URI"
//   --area X,Y,W,H         --screenshot takes that part of the screen, pointer
//                          included, instead of the editor's window
// While the editor is open (not with --measure; --stress has its own), a processing
// thread runs one block per block size / sample rate of real time, as a DAW
// does, and prints each MIDI message the plug-in sends, one a line:
//   block 1234 frame 17: 90 3c 64  note-on C4 vel 100
// When the window closes, the editor is closed, a few more blocks run, and
// the notes still on (note-ons without their note-off) are reported:
//   still sounding: none          or   still sounding: 60 64 67 (C4 E4 G4)
// --no-processing: no processing thread and no MIDI printed; --note then
// processes one block on the calling thread.
// --editor-scale PERCENT: the editor is drawn at PERCENT of its layout (its
// own choice, or the desktop's): X,Y above (not --carry's, which may lie outside
// the editor) and --crop stay layout pixels and
// are scaled, and so are the popup menus' items.
// --crop X,Y,W,H: the screenshot shows only that part of the editor.
// Without a desktop, run it under xvfb-run -a.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/graphics/EditorScale.h"
#include "tools/x11host/BlockProcessing.h"
#include "framework/graphics/raster/PngCodec.h"
#include "tools/x11host/DropTarget.h"
#include "tools/x11host/X11EditorHost.h"
#include "framework/graphics/raster/PngCodec.h"

using velmora::MemBitmap;
using velmora::host::BlockProcessing;
using velmora::host::DropTarget;
using velmora::host::ScreenRect;
using velmora::host::X11EditorHost;
using Clock = std::chrono::steady_clock;

namespace {

// One step of what the user and the host do once the editor is open.
struct Action {
  enum Kind { kClick, kMenu, kNote, kHold, kCarry } kind;
  int x = 0, y = 0, value = 0;
};

// Where the pointer was put last, in editor coordinates, and whether the
// left button is held there.
struct Pointer {
  int x = 0, y = 0;
  bool held = false;
};

bool ParseRect(const char* text, ScreenRect& rect) {
  return std::sscanf(text, "%d,%d,%d,%d", &rect.x, &rect.y, &rect.width, &rect.height) == 4 && rect.width > 0 &&
         rect.height > 0;
}

bool ParseAction(const std::string& flag, const std::string& text, Action& action) {
  int a = 0, b = 0, c = 0;
  const int n = std::sscanf(text.c_str(), "%d,%d,%d", &a, &b, &c);
  if (flag == "--note") {
    action = Action{Action::kNote, 0, 0, a};
    return n >= 1 && a >= 0 && a < 128;
  }
  if (n < 2) return false;
  if (flag == "--click") action = Action{Action::kClick, a, b, n == 3 ? c : 1};
  else if (flag == "--menu") action = Action{Action::kMenu, a, b, c};
  else if (flag == "--carry") action = Action{Action::kCarry, a, b, 0};
  else action = Action{Action::kHold, a, b, 1};
  return flag != "--menu" || n == 3;
}

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return in.good() || in.eof();
}

// processing null: the note is processed here, in a block of its own.
// The middle of layout pixel v at the editor's scale.
int At(int v, int percent) {
  return (velmora::ScaleCoordinate(v, percent) + velmora::ScaleCoordinate(v + 1, percent) - 1) / 2;
}

bool Perform(X11EditorHost& host, BlockProcessing* processing, const Action& action, int percent,
             Pointer& pointer) {
  const int x = At(action.x, percent), y = At(action.y, percent);
  switch (action.kind) {
    case Action::kClick:
      host.click(x, y, action.value);
      break;
    case Action::kMenu: {
      host.click(x, y);
      std::vector<velmora::host::ScreenRect> menus;
      if (!X11EditorHost::WaitFor([&] { return (menus = host.popupWindows()).size() == 1; })) return false;
      const auto& menu = menus.front();
      // The menus' own metrics, at the editor's scale.
      const int border = velmora::ScaleCoordinate(3, percent), itemHeight = velmora::ScaleCoordinate(20, percent);
      host.moveToRoot(menu.x + menu.width / 2, menu.y + border + action.value * itemHeight + itemHeight / 2);
      host.press();
      host.release();
      if (!X11EditorHost::WaitFor([&] { return host.popupWindows().empty(); })) return false;
      break;
    }
    case Action::kNote:
      if (processing) {
        processing->queueMidi(0x90, static_cast<std::uint8_t>(action.value), 100);
      } else {
        host.vst().queueMidi(0, 0x90, static_cast<std::uint8_t>(action.value), 100);
        host.vst().process(1);
      }
      break;
    case Action::kHold:
      host.moveTo(x, y);
      host.press();
      pointer = Pointer{x, y, true};
      break;
    case Action::kCarry:
      for (int step = 1; step <= 8; ++step) {
        host.moveTo(pointer.x + (action.x - pointer.x) * step / 8, pointer.y + (action.y - pointer.y) * step / 8);
      }
      pointer.x = action.x;
      pointer.y = action.y;
      break;
  }
  // Two redraw steps, so that a control that asked for a redraw listens again.
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  return true;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The editor's window, or the part crop names (layout pixels; all zero: the whole).
bool SaveScreenshot(X11EditorHost& host, const std::string& path, const int crop[4], int percent) {
  if (crop[2] == 0) return host.saveScreenshot(path);
  MemBitmap whole;
  if (!host.capture(whole)) return false;
  const int left = velmora::ScaleCoordinate(crop[0], percent), top = velmora::ScaleCoordinate(crop[1], percent);
  const int right = std::min(velmora::ScaleCoordinate(crop[0] + crop[2], percent), whole.Width());
  const int bottom = std::min(velmora::ScaleCoordinate(crop[1] + crop[3], percent), whole.Height());
  if (left < 0 || top < 0 || right <= left || bottom <= top) return false;
  MemBitmap part(right - left, bottom - top);
  for (int y = top; y < bottom; ++y) std::copy_n(whole.Row(y) + left, right - left, part.Row(y - top));
  return velmora::WritePng(part, path, false);
}

// The pointer's picture over a capture of the screen area, where it is.
void DrawPointer(Display* display, const ScreenRect& area, MemBitmap& shot) {
  int event = 0, error = 0;
  if (!XFixesQueryExtension(display, &event, &error)) return;
  XFixesCursorImage* cursor = XFixesGetCursorImage(display);
  if (!cursor) return;
  for (int cy = 0; cy < cursor->height; ++cy) {
    for (int cx = 0; cx < cursor->width; ++cx) {
      const int x = cursor->x - cursor->xhot + cx - area.x, y = cursor->y - cursor->yhot + cy - area.y;
      if (x < 0 || y < 0 || x >= shot.Width() || y >= shot.Height()) continue;
      // Premultiplied ARGB, one to an unsigned long.
      const auto argb = static_cast<std::uint32_t>(cursor->pixels[cy * cursor->width + cx]);
      const std::uint32_t keep = 255 - (argb >> 24);
      velmora::Pixel& p = shot.Row(y)[x];
      std::uint32_t out = 0xff000000u;
      for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t c = ((argb >> shift) & 0xff) + ((p >> shift) & 0xff) * keep / 255;
        out |= std::min<std::uint32_t>(c, 255) << shift;
      }
      p = out;
    }
  }
  XFree(cursor);
}

bool SaveScreen(X11EditorHost& host, const ScreenRect& area, const std::string& path) {
  MemBitmap shot;
  if (!host.captureScreen(area, shot)) return false;
  DrawPointer(host.display(), area, shot);
  return velmora::WritePng(shot, path, false);
}

// The window is gone: the editor closes while blocks still run, so that what
// the close releases goes out, then what stayed on is reported.
void Finish(X11EditorHost& host, BlockProcessing* processing) {
  constexpr int kTailBlocks = 16;
  host.closeEditor();
  if (!processing) return;
  processing->stop(kTailBlocks);
  std::printf("%lld blocks, %lld late\n", static_cast<long long>(processing->blocks()),
              static_cast<long long>(processing->lateBlocks()));
  std::printf("still sounding: %s\n", processing->stillSounding().c_str());
  std::fflush(stdout);
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The X server's CPU time, found through the display's lock file; -1 when unknown.
double ServerCpuSeconds() {
  const char* name = std::getenv("DISPLAY");
  if (!name || name[0] != ':') return -1.0;
  std::ifstream lock("/tmp/.X" + std::string(name + 1, std::strcspn(name + 1, ".")) + "-lock");
  long pid = 0;
  if (!(lock >> pid) || pid <= 0) return -1.0;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return -1.0;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) stime = std::stoull(field);
  }
  return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

std::uint64_t Hash(const MemBitmap& bitmap) {
  std::uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const velmora::Pixel* row = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x) h = (h ^ row[x]) * 1099511628211ull;
  }
  return h;
}

// Captures until two captures 200 ms apart agree; the editor is then drawn.
bool WaitSettled(X11EditorHost& host, std::chrono::seconds timeout) {
  MemBitmap shot;
  std::uint64_t last = 0;
  return X11EditorHost::WaitFor(
      [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const bool ok = host.capture(shot);
        const std::uint64_t h = ok ? Hash(shot) : 0;
        const bool same = ok && h == last && host.idleCalls() > 2;
        last = h;
        return same;
      },
      timeout);
}

void Measure(X11EditorHost& host, int seconds) {
  // 1. From effEditOpen to the first complete frame on the screen. Captures
  // run all along and are compared afterwards with the settled frame.
  struct Seen {
    Clock::duration at;
    std::uint64_t hash;
  };
  std::vector<Seen> seen;
  MemBitmap shot;
  const Clock::time_point start = Clock::now();
  if (!host.openEditor(0, 0, false)) {
    std::fprintf(stderr, "cannot open the editor: %s\n", host.error().c_str());
    std::exit(1);
  }
  const Clock::duration opened = Clock::now() - start;
  velmora::Pixel blank = 0, now = 0;
  host.pixel(0, 0, blank);
  host.idleOnce();
  const Clock::duration firstIdle = Clock::now() - start;
  host.setIdling(true);
  // The first pixels: one request paints the whole first frame, so the
  // corner changing marks its arrival; a full capture then tells whether
  // that frame was complete.
  Clock::duration firstPixels{-1};
  while (Clock::now() - start < std::chrono::seconds(2)) {
    if (host.pixel(0, 0, now) && now != blank) {
      firstPixels = Clock::now() - start;
      break;
    }
  }
  Clock::duration captureCost{0};
  int captures = 0;
  while (Clock::now() - start < std::chrono::milliseconds(600)) {
    const Clock::time_point before = Clock::now();
    if (host.capture(shot)) seen.push_back(Seen{Clock::now() - start, Hash(shot)});
    captureCost += Clock::now() - before;
    ++captures;
  }
  WaitSettled(host, std::chrono::seconds(10));
  host.capture(shot);
  const std::uint64_t settled = Hash(shot);
  double complete = -1.0;
  for (const Seen& s : seen) {
    if (s.hash == settled) {
      complete = Ms(s.at);
      break;
    }
  }
  const bool firstWasComplete = !seen.empty() && seen.front().hash == settled;
  std::printf("effEditOpen call:                          %7.2f ms\n", Ms(host.openCallDuration()));
  std::printf("first effEditIdle returned (draws it all): %7.2f ms after the open began\n", Ms(firstIdle));
  std::printf("first pixels on the screen:                %7.2f ms after the open began\n",
              firstPixels.count() < 0 ? -1.0 : Ms(firstPixels));
  std::printf("complete frame seen by a full capture:     %7.2f ms after the open began (%s; one capture per %.1f ms)\n",
              complete, firstWasComplete ? "the first capture already" : "later captures",
              captures ? Ms(captureCost) / captures : 0.0);
  std::printf("  (the open took %.2f ms of that, parent window included)\n", Ms(opened));

  // 2. CPU while idle: editor open, then closed, idle calls every 40 ms in both.
  auto cpu = [&](const char* what) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double p0 = ProcessCpuSeconds(), s0 = ServerCpuSeconds();
    const long idles0 = host.idleCalls();
    const Clock::time_point t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const double process = (ProcessCpuSeconds() - p0) / wall * 100.0;
    const double server = s0 < 0 ? -1.0 : (ServerCpuSeconds() - s0) / wall * 100.0;
    std::printf("CPU, %-34s process %6.3f%% of one core, X server %6.3f%% (%ld idle calls in %.1f s)\n", what,
                process, server, host.idleCalls() - idles0, wall);
    return std::make_pair(process, server);
  };
  const auto open = cpu("editor open, idle:");
  host.closeEditor();
  host.setIdling(true);
  const auto closed = cpu("editor closed, idle calls only:");
  std::printf("CPU of the open idle editor:              process %6.3f%%, X server %6.3f%%\n",
              open.first - closed.first, open.second - closed.second);
}

// Blocks of 512 frames every 5 ms on a processing thread of their own, each
// timed, while this thread clicks, drags and wheels over the editor's rows,
// cells and keys as fast as the server takes it.
void Stress(X11EditorHost& host, int seconds) {
  if (!host.openEditor()) {
    std::fprintf(stderr, "cannot open the editor: %s\n", host.error().c_str());
    std::exit(1);
  }
  host.vst().setTransportPlaying(true);
  std::atomic<bool> stop{false};
  std::vector<double> took;
  std::thread processing([&] {
    Clock::time_point next = Clock::now();
    while (!stop) {
      if (took.size() % 64 == 0) host.vst().queueMidi(0, took.size() % 128 ? 0x90 : 0x80, 36 + took.size() % 16, 100);
      const Clock::time_point start = Clock::now();
      host.vst().process(1);
      took.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
      host.vst().takeCapturedMidi();
      next += std::chrono::milliseconds(5);
      std::this_thread::sleep_until(next);
    }
  });
  unsigned seed = 1;
  auto random = [&seed](int n) { return int((seed = seed * 1103515245u + 12345u) >> 16) % n; };
  long actions = 0;
  const Clock::time_point until = Clock::now() + std::chrono::seconds(seconds);
  for (; Clock::now() < until; ++actions) {
    const int row = 7 + 33 * random(20) + 16, cellX = 17 + 94 * random(4) + 47, cellY = 316 + 94 * random(4) + 30;
    switch (random(5)) {
      case 0: host.click(700, row); break;
      case 1:
        host.moveTo(700, row);
        host.press();
        host.moveTo(400, 400);
        host.moveTo(cellX, cellY);
        host.release();
        break;
      case 2: host.click(cellX, cellY, random(2) ? 1 : 3); break;
      case 3: host.click(150 + 21 * random(14), 140, random(2) ? 1 : 3); break;
      default: host.wheel(700, row, random(2) ? 1 : -1); break;
    }
  }
  stop = true;
  processing.join();
  std::sort(took.begin(), took.end());
  const auto at = [&](double q) { return took.empty() ? 0.0 : took[size_t(q * double(took.size() - 1))]; };
  std::printf("%ld editor actions, %zu blocks of %d frames\n", actions, took.size(), host.vst().blockSize());
  std::printf("block time, us: median %.1f  p99 %.1f  p99.9 %.1f  worst %.1f\n", at(0.5), at(0.99), at(0.999),
              took.empty() ? 0.0 : took.back());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: %s MODULE [--set INDEX=VALUE]... [--chunk FILE] [--rate HZ] [--block FRAMES]\n"
                 "       [--no-processing] [--drop-target X,Y,W,H] [--editor-scale PERCENT]\n"
                 "       [--click X,Y[,BUTTON] | --menu X,Y,ITEM | --note NOTE | --hold X,Y | --carry X,Y]...\n"
                 "       [--screenshot FILE [--crop X,Y,W,H | --area X,Y,W,H] | --measure [SECONDS] |\n"
                 "       --stress [SECONDS]]\n"
                 "While the editor is open, blocks run in real time on a processing thread (one per\n"
                 "FRAMES / HZ seconds, 256 / 48000 unless set) and every MIDI message the plug-in sends\n"
                 "is printed as 'block N frame F: bytes  meaning'; when the window closes, the notes\n"
                 "still on are printed as 'still sounding: ...'. --no-processing turns this off\n"
                 "(--note then processes one block itself); --measure runs without it, --stress\n"
                 "with blocks of its own.\n",
                 argv[0]);
    return 2;
  }
  std::string screenshot;
  int percent = 100;
  int crop[4] = {0, 0, 0, 0};
  int measure = 0;
  int stress = 0;
  bool processingOn = true;
  double rate = 0.0;
  int block = 0;
  std::vector<std::pair<int, float>> settings;
  std::vector<Action> actions;
  std::vector<std::uint8_t> chunk;
  std::unique_ptr<DropTarget> dropTarget;
  ScreenRect area;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    Action action{};
    if ((arg == "--click" || arg == "--menu" || arg == "--note" || arg == "--hold" || arg == "--carry") &&
        i + 1 < argc) {
      if (!ParseAction(arg, argv[++i], action)) {
        std::fprintf(stderr, "bad %s %s\n", arg.c_str(), argv[i]);
        return 2;
      }
      actions.push_back(action);
    } else if (arg == "--chunk" && i + 1 < argc) {
      if (!ReadFile(argv[++i], chunk) || chunk.empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[i]);
        return 1;
      }
    } else if (arg == "--no-processing") {
      processingOn = false;
    } else if (arg == "--rate" && i + 1 < argc) {
      rate = std::strtod(argv[++i], nullptr);
      if (!(rate >= 1000.0 && rate <= 768000.0)) {
        std::fprintf(stderr, "bad --rate %s\n", argv[i]);
        return 2;
      }
    } else if (arg == "--block" && i + 1 < argc) {
      block = std::atoi(argv[++i]);
      if (block < 1 || block > velmora::host::VstHost::kMaxBlockSize) {
        std::fprintf(stderr, "bad --block %s\n", argv[i]);
        return 2;
      }
    } else if (arg == "--screenshot" && i + 1 < argc) {
      screenshot = argv[++i];
    } else if (arg == "--editor-scale" && i + 1 < argc) {
      percent = std::atoi(argv[++i]);
      if (!velmora::IsScaleStep(percent)) {
        std::fprintf(stderr, "bad --editor-scale %s\n", argv[i]);
        return 2;
      }
    } else if (arg == "--crop" && i + 1 < argc) {
      if (std::sscanf(argv[++i], "%d,%d,%d,%d", &crop[0], &crop[1], &crop[2], &crop[3]) != 4 || crop[2] <= 0 ||
          crop[3] <= 0) {
        std::fprintf(stderr, "bad --crop %s\n", argv[i]);
        return 2;
      }
    } else if (arg == "--area" && i + 1 < argc) {
      if (!ParseRect(argv[++i], area)) {
        std::fprintf(stderr, "bad --area %s\n", argv[i]);
        return 2;
      }
    } else if (arg == "--drop-target" && i + 1 < argc) {
      ScreenRect rect;
      if (!ParseRect(argv[++i], rect)) {
        std::fprintf(stderr, "bad --drop-target %s\n", argv[i]);
        return 2;
      }
      dropTarget = std::make_unique<DropTarget>(rect.x, rect.y, rect.width, rect.height);
      if (!dropTarget->ready()) {
        std::fprintf(stderr, "no drop target (is DISPLAY set?)\n");
        return 1;
      }
    } else if (arg == "--stress") {
      stress = (i + 1 < argc && argv[i + 1][0] != '-') ? std::atoi(argv[++i]) : 10;
    } else if (arg == "--measure") {
      measure = (i + 1 < argc && argv[i + 1][0] != '-') ? std::atoi(argv[++i]) : 10;
    } else if (arg == "--set" && i + 1 < argc) {
      const std::string setting = argv[++i];
      const std::size_t eq = setting.find('=');
      if (eq == std::string::npos) return 2;
      settings.emplace_back(std::atoi(setting.substr(0, eq).c_str()), std::strtof(setting.c_str() + eq + 1, nullptr));
    } else {
      std::fprintf(stderr, "unknown argument %s\n", arg.c_str());
      return 2;
    }
  }
  X11EditorHost host;
  if (!host.connected()) {
    std::fprintf(stderr, "%s (is DISPLAY set? try xvfb-run -a)\n", host.error().c_str());
    return 1;
  }
  if (!host.load(argv[1])) {
    std::fprintf(stderr, "%s\n", host.error().c_str());
    return 1;
  }
  if (rate > 0.0 || block > 0) {
    host.vst().suspend();
    if (rate > 0.0) host.vst().setSampleRate(rate);
    if (block > 0) host.vst().setBlockSize(block);
    host.vst().resume();
  }
  if (!chunk.empty() && !host.vst().setChunk(velmora::host::ChunkKind::Program, chunk)) {
    std::fprintf(stderr, "the plug-in refused the chunk\n");
    return 1;
  }
  for (const auto& [index, value] : settings) host.vst().setParameter(index, value);
  if (measure > 0) {
    Measure(host, measure);
    return 0;
  }
  if (stress > 0) {
    Stress(host, stress);
    return 0;
  }
  if (!host.openEditor()) {
    std::fprintf(stderr, "cannot open the editor: %s\n", host.error().c_str());
    return 1;
  }
  // Declared after the host: it stops before the host closes the plug-in.
  std::unique_ptr<BlockProcessing> processing;
  if (processingOn) {
    processing = std::make_unique<BlockProcessing>(host.vst(), stdout);
    std::printf("processing: blocks of %d frames at %.0f Hz, one every %.2f ms\n", host.vst().blockSize(),
                host.vst().sampleRate(), std::chrono::duration<double, std::milli>(processing->period()).count());
    std::fflush(stdout);
    processing->start();
  }
  Pointer pointer;
  for (const Action& action : actions) {
    if (!Perform(host, processing.get(), action, percent, pointer)) {
      std::fprintf(stderr, "no menu came up at %d,%d\n", action.x, action.y);
      return 1;
    }
  }
  if (!screenshot.empty()) {
    const bool settled = WaitSettled(host, std::chrono::seconds(10));
    const bool saved =
        area.width > 0 ? SaveScreen(host, area, screenshot) : SaveScreenshot(host, screenshot, crop, percent);
    // A button still held lets go (a drag out of the window drops where it is).
    if (pointer.held) {
      host.release();
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    if (!settled || !saved) {
      std::fprintf(stderr, "no screenshot\n");
      return 1;
    }
    Finish(host, processing.get());
    return 0;
  }
  // Until the window manager asks the parent to close.
  Display* display = host.display();
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, host.parentWindow(), &deleteWindow, 1);
  XFlush(display);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == ClientMessage && Atom(event.xclient.data.l[0]) == deleteWindow) break;
    if (event.type == DestroyNotify && event.xdestroywindow.window == host.parentWindow()) break;
  }
  Finish(host, processing.get());
  return 0;
}
