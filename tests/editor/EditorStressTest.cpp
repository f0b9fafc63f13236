// The three threads that enter an instance, with its real editor: the
// processing thread (host notes, blocks, keyboard polls, takes), the host's
// control thread (parameters, state chunks) and the editor's thread (ticks
// that sync and draw, presses on rows, cells and keys, wheels). Under
// ThreadSanitizer it must report nothing.
#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "tests/editor/EditorTestSupport.h"

namespace velmora::test {
namespace {

void Processing(HostedVelmora& host, const std::atomic<bool>& stop, std::atomic<int>& blocks) {
  std::mt19937 random(1);
  for (; !stop; ++blocks) {
    auto lock = host.Lock();  // as the adapter's processReplacing
    if (blocks % 50 == 0) host.hostTime.transportIsRunning = !host.hostTime.transportIsRunning;
    host.HandleMidiMessage(HostNote(random() % 2 ? 0x90 : 0x80, 36 + random() % 16, 100));
    host.Block(256);
  }
}

void Control(HostedVelmora& host, const std::atomic<bool>& stop, std::atomic<int>& changes) {
  std::mt19937 random(3);
  const auto write = [&](int index, double normalized) {
    auto lock = host.Lock();  // as the adapter's setParameter
    host.Editor()->SetParamFromPlugin(index, normalized, true);
    host.GetParam(index)->SetFromNormalized(normalized);
    host.OnParamChanged(index);
  };
  for (; !stop; ++changes) {
    switch (random() % 8) {
      case 0: write(kRecord, random() % 2); break;
      case 1: write(kRandomizeGrid, 1.0); break;
      case 2:
        host.SetScaleChoice(static_cast<int>(random() % 12), static_cast<int>(random() % 19));
        write(kScalesDropdown, (random() % 228) / 228.0);
        break;
      case 3: write(random() % 2 ? kGridOctaveUp : kGridOctaveDown, 1.0); break;
      case 4: write(kLooseMatches, (random() % 5) / 4.0); break;
      case 5: write(random() % 2 ? kClearExclusions : kClearNoteSelection, 1.0); break;
      default: {
        auto lock = host.Lock();  // the adapter's chunk get and set
        ChunkBuffer chunk;
        host.SaveState(chunk);
        host.LoadState(chunk, 0);
      }
    }
  }
}

void Editor(HeadlessGraphics& ui, const std::atomic<bool>& stop, std::atomic<int>& events) {
  ui.OpenWindow(nullptr);  // this thread becomes the editor's
  std::mt19937 random(2);
  for (; !stop; ++events) {
    const int k = static_cast<int>(random() % 16);
    const CellRect cell = GridCellRect(k);
    switch (random() % 7) {
      case 0: ui.OnMouseDown(700, 7 + 33 * (k % 20) + 16, kLeft); break;
      case 1: ui.OnMouseUp(100, 400, MouseMods()); break;
      case 2: ui.OnMouseDown(cell.left + 47, cell.top + 30, random() % 2 ? kLeft : kRight); break;
      case 3: ui.OnMouseDown(100 + 21 * k, 140, kLeft); break;
      case 4: ui.OnMouseWheel(700, 100, MouseMods(), random() % 2 ? 1.0f : -1.0f); break;
      case 5: ui.OnMouseDrag(cell.left + 10, cell.top + 10, kLeft); break;
      default: ui.OnTimerTick(); break;
    }
  }
  ui.CloseWindow();
}

TEST(EditorStressTest, ProcessingControlAndEditorThreadsShareOneInstance) {
  DataHome home;
  HostedVelmora host;
  auto& ui = static_cast<HeadlessGraphics&>(static_cast<VelmoraEditor&>(host.EditorParts()).Graphics());
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0}, changes{0}, events{0};
  std::thread processing(Processing, std::ref(host), std::cref(stop), std::ref(blocks));
  std::thread control(Control, std::ref(host), std::cref(stop), std::ref(changes));
  std::thread editor(Editor, std::ref(ui), std::cref(stop), std::ref(events));
  // Each thread must get its share of turns; how long that takes depends on
  // the machine and the sanitizer, so only a deadline far off bounds it.
  const auto start = std::chrono::steady_clock::now();
  const auto enough = [&] { return blocks > 1000 && changes > 1000 && events > 40; };
  while (std::chrono::steady_clock::now() - start < std::chrono::seconds(2) ||
         (!enough() && std::chrono::steady_clock::now() - start < std::chrono::seconds(60))) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  stop = true;
  processing.join();
  control.join();
  editor.join();
  EXPECT_TRUE(enough()) << blocks << " blocks, " << changes << " changes, " << events << " events";
  // Quiet again, the editor shows what the plug-in holds.
  ui.OpenWindow(nullptr);
  ui.OnTimerTick();
  const std::vector<ChordEntry> list = host.ChordListCopy();
  const ListedChordControl& first = *static_cast<VelmoraEditor&>(host.EditorParts()).Controls().chordList->Row(0);
  const int offset = static_cast<VelmoraEditor&>(host.EditorParts()).Controls().chordList->ScrollOffset();
  EXPECT_EQ(first.Label(), list.size() > size_t(offset) ? list[size_t(offset)].name : std::string());
}

}  // namespace
}  // namespace velmora::test
