// Chords and the grid dragged out of Velmora's editor into an XDND drop
// target of the test's own, in both formats: Velmora.so in a VST 2.4 host,
// Velmora.clap in a CLAP host, each editor driven by real input (XTest)
// under Xvfb. The target receives a file:// URI; the file it names is read
// back as a host reads it and holds what the row, the cell or the grid
// plays. The data folder lies under a user name outside ASCII.
#include <poll.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "DisplayTestSupport.h"
#include "ModulePlatform.h"
#include "XdndTestTarget.h"
#include "tests/MidiFileReader.h"
#include "tools/vsthost/ClapHost.h"

// Xlib last: its macros (None, Bool) would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Messages = std::vector<std::vector<uint8_t>>;
using host::ScreenRect;
using host::X11EditorHost;

enum class Format { kVst2, kClap };

// A#/Bb major listed (its third row is A#/Bb maj); C maj in cell 0, A m7 an
// octave down in its first inversion in cell 4, A#/Bb min an octave up in
// cell 9, the other cells empty.
constexpr const char* kState = "scale 10 cell 0 0 0 cell 4 9 9 -1 1 cell 9 10 7 1";
constexpr int kBbMajorRow = 2;
constexpr int kFMajorRow = 1;
constexpr int kEditorX = 40, kEditorY = 30;
constexpr int kRowX = 700;
constexpr int kTicksPerBar = 480;  // 4/4 at the writer's 120 ticks per quarter
const std::string kUser = "\xE5\xB1\xB1\xE7\x94\xB0";  // 山田

int RowY(int row) { return 7 + 33 * row + 16; }
// Inside grid cell i, clear of its arrows and its inversion corner.
int CellX(int i) { return 17 + (i % 4) * 94 + 47; }
int CellY(int i) { return 316 + (3 - i / 4) * 94 + 30; }
constexpr int kHandleX = 214, kHandleY = 299;

// Velmora in a host of the test's, its editor open in a window of the screen.
class Rig {
 public:
  virtual ~Rig() = default;
  virtual bool Open(const Bytes& state, std::string& why) = 0;
  virtual ScreenRect EditorRect() = 0;
  // bpm 0: the host tells no tempo.
  virtual void SetTempo(double bpm) = 0;
  virtual void HostMidi(uint8_t status, uint8_t note) = 0;
  // What the plug-in sent since the last look, once at least count messages came.
  virtual Messages Sent(size_t count) = 0;
  virtual Bytes Chunk() = 0;
  virtual void SetParameter(int index, float value) = 0;
};

// Velmora.so in the VST 2.4 host of the X11 tools: effEditIdle on a thread
// of its own, blocks run here.
class VstRig : public Rig {
 public:
  bool Open(const Bytes& state, std::string& why) override {
    if (!host.connected() || !host.load(VELMORA_MODULE) || !host.vst().setChunk(host::ChunkKind::Program, state) ||
        !host.openEditor(kEditorX, kEditorY)) {
      why = host.error();
      return false;
    }
    return true;
  }
  ScreenRect EditorRect() override {
    ScreenRect rect;
    host.windowRect(host.editorWindow(), rect);
    return rect;
  }
  void SetTempo(double bpm) override {
    host.vst().setTempo(bpm);
    host.vst().process(1);
  }
  void HostMidi(uint8_t status, uint8_t note) override { host.vst().queueMidi(0, status, note, 100); }
  Messages Sent(size_t count) override {
    Messages sent;
    X11EditorHost::WaitFor([&] {
      host.vst().process(1);
      for (const host::CapturedMidi& m : host.vst().takeCapturedMidi()) sent.push_back(m.bytes);
      return sent.size() >= count;
    });
    return sent;
  }
  Bytes Chunk() override {
    Bytes chunk;
    host.vst().getChunk(host::ChunkKind::Program, chunk);
    return chunk;
  }
  void SetParameter(int index, float value) override { host.vst().setParameter(index, value); }

 private:
  X11EditorHost host;
};

// Velmora.clap embedded in a window of ours, its main thread a thread of
// the rig's that runs the host's loop: on_fd when the editor's descriptor is
// readable, on_timer otherwise, a block between (on a thread of its own, as
// the audio side of a host). Requests reach that thread as tasks.
class ClapRig : public Rig {
 public:
  ClapRig() : mDisplay(XOpenDisplay(nullptr)) {}
  ~ClapRig() override {
    if (mUi.joinable()) {
      OnMain([this] { mClap.close(); });
      {
        std::lock_guard<std::mutex> guard(mLock);
        mStop = true;
      }
      mUi.join();
    }
    if (mDisplay) {
      if (mParent) XDestroyWindow(mDisplay, mParent);
      XCloseDisplay(mDisplay);
    }
  }

  bool Open(const Bytes& state, std::string& why) override {
    if (!mDisplay) return why = "no display", false;
    mParent = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), kEditorX, kEditorY, 964, 709, 0, 0, 0);
    XMapWindow(mDisplay, mParent);
    XSync(mDisplay, False);
    mUi = std::thread([this] { Loop(); });
    bool opened = false;
    OnMain([&] {
      opened = mClap.load(VELMORA_CLAP_MODULE) && (mClap.resume(), mClap.isActive()) &&
               mClap.setChunk(host::ChunkKind::Program, state) && mClap.createEditor() &&
               mClap.setEditorParent(mParent);
      if (!opened) why = "the CLAP editor did not open: " + mClap.error();
    });
    return opened && X11EditorHost::WaitFor([&] {
             XWindowAttributes attributes{};
             const Window editor = Child();
             return editor && XGetWindowAttributes(mDisplay, editor, &attributes) && attributes.map_state == IsViewable;
           });
  }
  ScreenRect EditorRect() override {
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(mDisplay, mParent, DefaultRootWindow(mDisplay), 0, 0, &x, &y, &child);
    return ScreenRect{x, y, 964, 709};
  }
  void SetTempo(double bpm) override {
    OnMain([&] {
      mClap.setTransportAbsent(bpm <= 0.0);
      mClap.setTempo(bpm);
    });
    OnMain([] {});  // a block with it went by
  }
  void HostMidi(uint8_t status, uint8_t note) override {
    OnMain([&] { mClap.queueMidi(0, status, note, 100); });
  }
  Messages Sent(size_t count) override {
    Messages sent;
    X11EditorHost::WaitFor([&] {
      std::lock_guard<std::mutex> guard(mLock);
      sent.insert(sent.end(), mSent.begin(), mSent.end());
      mSent.clear();
      return sent.size() >= count;
    });
    return sent;
  }
  Bytes Chunk() override {
    Bytes chunk;
    OnMain([&] { mClap.getChunk(host::ChunkKind::Program, chunk); });
    return chunk;
  }
  void SetParameter(int index, float value) override {
    OnMain([&] { mClap.setParameter(index, value); });
  }

 private:
  Window Child() {
    Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(mDisplay, mParent, &root, &up, &children, &count)) return 0;
    const Window child = count > 0 ? children[0] : 0;
    if (children) XFree(children);
    return child;
  }
  // Runs task on the main thread and waits for it (never while a drag runs there).
  void OnMain(const std::function<void()>& task) {
    std::packaged_task<void()> job(task);
    std::future<void> done = job.get_future();
    {
      std::lock_guard<std::mutex> guard(mLock);
      mTasks.push_back(std::move(job));
    }
    done.wait();
  }
  void Loop() {
    for (;;) {
      std::deque<std::packaged_task<void()>> tasks;
      {
        std::lock_guard<std::mutex> guard(mLock);
        if (mStop) return;
        tasks.swap(mTasks);
      }
      for (auto& task : tasks) task();
      if (!mClap.isLoaded()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        continue;
      }
      const std::vector<int> fds = mClap.descriptors();
      pollfd watched{fds.empty() ? -1 : fds[0], POLLIN, 0};
      if (poll(&watched, 1, 20) > 0) {
        mClap.fireDescriptor(watched.fd);
      } else {
        mClap.fireTimers();
      }
      std::thread([this] { mClap.process(1); }).join();
      std::lock_guard<std::mutex> guard(mLock);
      for (const host::CapturedMidi& m : mClap.takeCapturedMidi()) mSent.push_back(m.bytes);
    }
  }

  Display* mDisplay;
  Window mParent = 0;
  host::ClapHost mClap;
  std::thread mUi;
  std::mutex mLock;
  std::deque<std::packaged_task<void()>> mTasks;
  Messages mSent;
  bool mStop = false;
};

// The keys of the note-ons (or note-offs) among messages, in order.
std::vector<int> Keys(const Messages& messages, bool on) {
  std::vector<int> keys;
  for (const auto& m : messages) {
    const bool isOn = (m[0] & 0xF0) == 0x90 && m[2] > 0;
    if (m.size() == 3 && ((m[0] & 0xF0) == 0x80 || (m[0] & 0xF0) == 0x90) && isOn == on) keys.push_back(m[1]);
  }
  std::sort(keys.begin(), keys.end());
  return keys;
}

// The notes of a file bar by bar: the keys struck at each bar's start, and
// whether every note struck there, at velocity 100 on channel 1, ends with
// the bar and nothing else happens between.
struct Bars {
  std::vector<std::vector<int>> keys;
  bool wholeBars = true;
};

Bars BarsOf(const ReadMidiFile& file) {
  Bars bars;
  for (const ReadNote& n : file.notes) {
    const auto bar = size_t(n.tick / kTicksPerBar);
    const bool onBarLine = n.tick % kTicksPerBar == 0;
    if (n.on) {
      if (bars.keys.size() <= bar) bars.keys.resize(bar + 1);
      bars.keys[bar].push_back(n.key);
      bars.wholeBars = bars.wholeBars && onBarLine && n.velocity == 100 && n.channel == 1;
      const bool ends = std::any_of(file.notes.begin(), file.notes.end(), [&](const ReadNote& off) {
        return !off.on && off.key == n.key && off.tick == n.tick + kTicksPerBar && off.channel == 1;
      });
      bars.wholeBars = bars.wholeBars && ends;
    } else {
      bars.wholeBars = bars.wholeBars && onBarLine && n.tick > 0;
    }
  }
  for (auto& keys : bars.keys) std::sort(keys.begin(), keys.end());
  return bars;
}

// "%xx" escapes of a file URI undone, the scheme and the line end taken off.
std::string PathOfUri(const std::string& uri) {
  std::string text = uri.rfind("file://", 0) == 0 ? uri.substr(7) : uri;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  std::string path;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      path += char(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      path += text[i];
    }
  }
  return path;
}

class DragOutTest : public ::testing::TestWithParam<Format> {
 protected:
  void SetUp() override {
    fs::create_directories(home);
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    std::string why;
    ASSERT_TRUE(UseSharedXvfb(&why)) << why;
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Bytes state = integration::MakeState(kState);
    ASSERT_FALSE(state.empty()) << "velmora-make-state failed";
    if (GetParam() == Format::kVst2) {
      rig = std::make_unique<VstRig>();
    } else {
      rig = std::make_unique<ClapRig>();
    }
    ASSERT_TRUE(rig->Open(state, why)) << why;
    editor = rig->EditorRect();
    ASSERT_GT(editor.width, 0);
  }
  void TearDown() override {
    rig.reset();
    if (display) XCloseDisplay(display);
    fs::remove_all(base);
  }

  void MoveToRoot(int x, int y) {
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, 0);
    XSync(display, False);
  }
  void Button(bool down) {
    XTestFakeButtonEvent(display, 1, down ? True : False, 0);
    XSync(display, False);
  }
  // From the pointer's place to (x, y) on the screen, in a few moves.
  void CarryTo(int x, int y) {
    Window root = 0, child = 0;
    int fromX = 0, fromY = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &fromX, &fromY, &wx, &wy, &mask);
    for (int step = 1; step <= 5; ++step) MoveToRoot(fromX + (x - fromX) * step / 5, fromY + (y - fromY) * step / 5);
  }
  // Presses the left button at (x, y) of the editor; answers the keys its chord strikes.
  std::vector<int> PressAt(int x, int y, size_t notes) {
    MoveToRoot(editor.x + x, editor.y + y);
    Button(true);
    return Keys(rig->Sent(notes), true);
  }
  // Carries what is pressed onto target and lets go there; answers what it dropped.
  XdndTestTarget::Seen DropOn(const XdndTestTarget& target) {
    const XdndTestTarget::Seen before = target.Snapshot();
    CarryTo(target.CenterX(), target.CenterY());
    EXPECT_TRUE(X11EditorHost::WaitFor([&] { return target.Snapshot().positions > before.positions; }))
        << "not over it";
    Button(false);
    XdndTestTarget::Seen seen;
    EXPECT_TRUE(X11EditorHost::WaitFor([&] { return (seen = target.Snapshot()).finishes > before.finishes; }))
        << "nothing dropped";
    return seen;
  }
  ReadMidiFile ReadBack(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return ReadMidi(Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  }
  // The files the drags left in the data folder.
  std::vector<fs::path> DragFiles() const {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(drags, error), end; !error && it != end; it.increment(error)) {
      if (it->is_regular_file()) files.push_back(it->path());
    }
    return files;
  }
  // The tempo the file must name: the host's, or 120 when it tells none.
  double Tempo() const { return GetParam() == Format::kVst2 ? 93.0 : 0.0; }
  std::uint32_t MicrosPerQuarter() const { return uint32_t(std::lround(60000000.0 / (Tempo() > 0 ? Tempo() : 120.0))); }

  fs::path base = fs::temp_directory_path() / ("velmora-drag-out-" + std::to_string(getpid()));
  fs::path home = base / fs::u8path(kUser);
  fs::path drags = home / "velmora-takes" / "drags";
  Display* display = nullptr;
  std::unique_ptr<Rig> rig;
  ScreenRect editor;
};

// What each drag offers is a file of its own, named for what it holds, whose
// bars hold what the row, the cell and the host notes of the grid play.
TEST_P(DragOutTest, ARowACellAndTheGridLeaveTheWindowAsMidiFiles) {
  rig->SetTempo(Tempo());
  const Bytes before = rig->Chunk();
  XdndTestTarget target(XdndTestTarget::Options{});
  ASSERT_TRUE(target.Ready());

  struct Source {
    int x, y;
    size_t notes;
    const char* file;
  };
  const Source sources[] = {{kRowX, RowY(kBbMajorRow), 3, "A#-Bb maj.mid"},
                            {CellX(4), CellY(4), 4, "Cell 5 - A m7.mid"}};
  for (const Source& source : sources) {
    const std::vector<int> played = PressAt(source.x, source.y, source.notes);
    const XdndTestTarget::Seen seen = DropOn(target);
    EXPECT_EQ(Keys(rig->Sent(source.notes), false), played) << "the chord did not stop with the drop";
    const fs::path dropped = fs::u8path(PathOfUri(seen.data));
    EXPECT_EQ(seen.data.rfind("file:///", 0), 0u) << seen.data;
    EXPECT_EQ(dropped.filename().u8string(), source.file);
    EXPECT_EQ(dropped.parent_path().parent_path(), drags) << seen.data;
    const ReadMidiFile file = ReadBack(dropped.u8string());
    ASSERT_TRUE(file.ok) << file.error;
    EXPECT_EQ(file.ticksPerQuarter, 120);
    EXPECT_EQ(file.tempos, (std::vector<std::pair<int64_t, uint32_t>>{{0, MicrosPerQuarter()}}));
    EXPECT_EQ(file.timeSignatures, (std::vector<std::pair<int, int>>{{4, 4}}));
    const Bars bars = BarsOf(file);
    EXPECT_EQ(bars.keys, std::vector<std::vector<int>>{played}) << source.file;
    EXPECT_TRUE(bars.wholeBars) << source.file;
  }

  // The grid: what host notes 36, 40 and 45 play (cells 0, 4 and 9), a bar each.
  std::vector<std::vector<int>> cells;
  for (const int note : {36, 40, 45}) {
    rig->HostMidi(0x90, uint8_t(note));
    cells.push_back(Keys(rig->Sent(note == 40 ? 4 : 3), true));
    rig->HostMidi(0x80, uint8_t(note));
    rig->Sent(note == 40 ? 4 : 3);
  }
  MoveToRoot(editor.x + kHandleX, editor.y + kHandleY);
  Button(true);
  const XdndTestTarget::Seen seen = DropOn(target);
  const fs::path dropped = fs::u8path(PathOfUri(seen.data));
  EXPECT_EQ(dropped.filename().u8string(), "Velmora grid.mid");
  const ReadMidiFile file = ReadBack(dropped.u8string());
  ASSERT_TRUE(file.ok) << file.error;
  EXPECT_EQ(file.tempos, (std::vector<std::pair<int64_t, uint32_t>>{{0, MicrosPerQuarter()}}));
  const Bars bars = BarsOf(file);
  EXPECT_EQ(bars.keys, cells);
  EXPECT_TRUE(bars.wholeBars);

  EXPECT_EQ(DragFiles().size(), 3u);  // one file per drag, each kept
  EXPECT_EQ(target.Snapshot().drops, 3);
  EXPECT_EQ(rig->Chunk(), before) << "a drag out changed the state";
}

// Carried out and back before the release, a chord is the grid's again:
// released on an empty cell it fills it. Released outside over nothing, it
// drops nothing and changes nothing; an empty grid offers nothing at all.
// No drag that no target took leaves a file behind.
TEST_P(DragOutTest, BackOverTheWindowItIsAnInsideDragAgain) {
  XdndTestTarget target(XdndTestTarget::Options{});
  ASSERT_TRUE(target.Ready());
  const Bytes before = rig->Chunk();
  const std::vector<int> played = PressAt(kRowX, RowY(kFMajorRow), 3);
  CarryTo(target.CenterX(), target.CenterY());
  ASSERT_TRUE(X11EditorHost::WaitFor([&] { return target.Snapshot().positions >= 1; })) << "never outside";
  CarryTo(editor.x + CellX(10), editor.y + CellY(10));
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return target.Snapshot().leaves == 1; })) << "the drag did not come back";
  MoveToRoot(editor.x + CellX(10) + 2, editor.y + CellY(10));
  Button(false);
  EXPECT_EQ(Keys(rig->Sent(3), false), played);
  Bytes placed;
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return (placed = rig->Chunk()) != before; })) << "nothing placed";
  EXPECT_EQ(target.Snapshot().drops, 0);

  // Out over nothing, and let go.
  PressAt(kRowX, RowY(kFMajorRow), 3);
  CarryTo(1600, 900);
  Button(false);
  EXPECT_EQ(Keys(rig->Sent(3), false), played) << "the chord did not stop";
  EXPECT_EQ(rig->Chunk(), placed);

  // An empty grid: its handle offers nothing.
  rig->SetParameter(18, 1.0f);  // ClearGrid
  rig->SetParameter(18, 0.0f);
  ASSERT_TRUE(X11EditorHost::WaitFor([&] { return rig->Chunk() != placed; }));
  const int entered = target.Snapshot().enters;
  MoveToRoot(editor.x + kHandleX, editor.y + kHandleY);
  Button(true);
  CarryTo(target.CenterX(), target.CenterY());
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // time for a drag that should not be
  Button(false);
  EXPECT_EQ(target.Snapshot().enters, entered);
  EXPECT_EQ(target.Snapshot().drops, 0);
  EXPECT_TRUE(DragFiles().empty()) << DragFiles().front();
}

INSTANTIATE_TEST_SUITE_P(BothFormats, DragOutTest, ::testing::Values(Format::kVst2, Format::kClap),
                         [](const ::testing::TestParamInfo<Format>& info) {
                           return info.param == Format::kVst2 ? "Vst2" : "Clap";
                         });

}  // namespace
}  // namespace velmora::test
