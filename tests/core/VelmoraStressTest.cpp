// Three threads drive one instance as a host and its editor do: the
// processing thread (MIDI input and blocks under the lock, as the adapter
// calls them), the editor thread (the direct entries) and the control thread
// (parameter writes, state round trips, resets). Under ThreadSanitizer it
// must report nothing.
#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "CoreTestSupport.h"

namespace velmora::test {
namespace {

#if defined(__SANITIZE_THREAD__)
#define VELMORA_UNDER_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VELMORA_UNDER_TSAN 1
#endif
#endif
#ifdef VELMORA_UNDER_TSAN
constexpr auto kRunTime = std::chrono::seconds(2);
#else
constexpr auto kRunTime = std::chrono::seconds(3);
#endif

void Processing(HostedVelmora& host, const std::atomic<bool>& stop, int& count) {
  std::vector<double> left(256), right(256);
  double* outputs[] = {left.data(), right.data()};
  std::mt19937 random(1);
  for (; !stop; ++count) {
    auto lock = host.Lock();
    if (count % 40 == 0) host.hostTime.transportIsRunning = !host.hostTime.transportIsRunning;
    host.HandleMidiMessage(HostNote(random() % 2 ? 0x90 : 0x80, 36 + random() % 16, 100));
    host.ProcessBlock(nullptr, outputs, 256);
  }
}

void Editor(HostedVelmora& host, const std::atomic<bool>& stop, int& count) {
  std::mt19937 random(2);
  for (; !stop; ++count) {
    const int k = static_cast<int>(random() % 16);
    const ChordEntry cell = Chord(k % 12, k, k);
    const CellRect from = GridCellRect(k), to = GridCellRect(static_cast<int>(random() % 16));
    switch (random() % 11) {
      case 0: host.StartChord(cell.notes, k % 3 - 1, k % 3, 100); break;
      case 1: host.StopChord(cell.notes, k % 3 - 1, k % 3); break;
      case 2: host.ToggleCellLock(cell); host.SetCellOctave(cell); host.SetCellInversion(cell); break;
      case 3: host.MoveCell(from.left, from.top, to.left + 5, to.top + 5); break;
      case 4: host.PlaceListChord(cell, 7 + 33 * (k % 20), to.left + 5, to.top + 5); break;
      case 5: host.ToggleKeyboardNote(5 + k); break;
      case 6: host.RemoveFilterRoot(FilterBox::kExclusions, k % 12); host.RemoveFilterChordType(FilterBox::kInclusions, k); break;
      case 7: host.SetPressedKey(k % 3 == 0 ? -1 : 5 + k); break;
      case 8: host.ChordListCopy(); host.SetListOctaveShift(k % 3 - 1); break;
      default: host.StartFileDrag(); break;
    }
  }
}

void Control(HostedVelmora& host, const std::atomic<bool>& stop, int& count, int& failedLoads) {
  std::mt19937 random(3);
  const auto write = [&](int index, double value) {
    auto lock = host.Lock();  // as the adapter's parameter entry
    host.SetParam(index, value);
  };
  for (; !stop; ++count) {
    switch (random() % 10) {
      case 0: write(kRecord, random() % 2); break;
      case 1: write(kRandomizeGrid, 1.0); break;
      case 2:
        host.SetScaleChoice(static_cast<int>(random() % 12), 0);
        write(kScalesDropdown, random() % 228);
        break;
      case 3:
        host.SetChordChoice(FilterBox::kExclusions, static_cast<int>(random() % 12), 3);
        write(kExclusionsDropdown, 1.0);
        break;
      case 4: write(random() % 2 ? kUndo : kRedo, 1.0); break;
      case 5: write(random() % 2 ? kGridOctaveUp : kGridOctaveDown, 1.0); break;
      case 6: write(random() % 2 ? kLooseMatches : kCustomInversion2, random() % 3); break;
      case 7: {
        auto lock = host.Lock();
        host.SetMaxBlockSize(64 << (random() % 6));
        host.OnReset();
        break;
      }
      default: {
        auto lock = host.Lock();  // the adapter's chunk get and set
        ChunkBuffer chunk;
        host.SaveState(chunk);
        failedLoads += host.LoadState(chunk, 0) != chunk.Size();
        break;
      }
    }
  }
}

TEST(VelmoraStressTest, ProcessingEditorAndControlThreadsShareOneInstance) {
  DataHome home;
  HostedVelmora host;
  FakeDrag drag;
  host.SetFileDragSource(&drag);
  std::atomic<bool> stop{false};
  int blocks = 0, edits = 0, changes = 0, failedLoads = 0;
  std::thread processing(Processing, std::ref(host), std::cref(stop), std::ref(blocks));
  std::thread editor(Editor, std::ref(host), std::cref(stop), std::ref(edits));
  std::thread control(Control, std::ref(host), std::cref(stop), std::ref(changes), std::ref(failedLoads));
  std::this_thread::sleep_for(kRunTime);
  stop = true;
  processing.join();
  editor.join();
  control.join();
  host.WaitForExports();
  host.SetFileDragSource(nullptr);

  EXPECT_GT(blocks, 100);
  EXPECT_GT(edits, 100);
  EXPECT_GT(changes, 100);
  EXPECT_EQ(failedLoads, 0);
  // Record was armed and drags were asked for all along: something was
  // exported and offered, and only complete files were.
  ASSERT_FALSE(drag.dragged.empty());
  for (const std::vector<uint8_t>& file : drag.dragged) {
    ASSERT_GE(file.size(), 14u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "MThd");
  }
  ASSERT_TRUE(fs::exists(host.ExportFilePath()));
  EXPECT_EQ(MidiCsv(host.ExportFilePath()).rfind("0, 0, Header, 1, 2, 120", 0), 0u);
}

}  // namespace
}  // namespace velmora::test
