// The CLAP adapter's threads on one instance, as a host and its editor drive
// it: the audio thread runs process() with parameter values and notes in
// every block; the main thread makes editor edits (begin, value, end, as the
// editor's controls do) and saves the state between them. Under
// ThreadSanitizer it must report nothing; every gesture reaches the host
// whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "core/Velmora.h"
#include "framework/plugin/clap/IPluginClap.h"
#include "tests/LockHolder.h"

namespace velmora::test {
namespace {

constexpr int kEdits = 600;

struct Lists {
  std::vector<const clap_event_header_t*> in;
  std::vector<clap_event_header_t> out;  // the headers of what the plug-in pushed
  std::vector<std::array<uint8_t, 3>> midi;  // the MIDI among them
  static uint32_t CLAP_ABI Size(const clap_input_events_t* list) {
    return static_cast<uint32_t>(static_cast<Lists*>(list->ctx)->in.size());
  }
  static const clap_event_header_t* CLAP_ABI Get(const clap_input_events_t* list, uint32_t i) {
    return static_cast<Lists*>(list->ctx)->in[i];
  }
  static bool CLAP_ABI Push(const clap_output_events_t* list, const clap_event_header_t* event) {
    auto* self = static_cast<Lists*>(list->ctx);
    self->out.push_back(*event);
    if (event->type == CLAP_EVENT_MIDI) {
      const auto* midi = reinterpret_cast<const clap_event_midi_t*>(event);
      self->midi.push_back({midi->data[0], midi->data[1], midi->data[2]});
    }
    return true;
  }
};

int64_t CLAP_ABI Write(const clap_ostream_t* stream, const void* data, uint64_t size) {
  auto* bytes = static_cast<std::vector<uint8_t>*>(stream->ctx);
  bytes->insert(bytes->end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
  return static_cast<int64_t>(size);
}

// The engine within reach, to lay out the grid the host notes play.
class TestVelmora : public Velmora {
 public:
  using Velmora::Velmora;
  ChordEngine& Engine() { return mEngine; }
};

class ClapStressTest : public ::testing::Test {
 protected:
  ClapStressTest() {
    std::filesystem::create_directories(home);
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    // No host extensions: every host call is skipped. The record's destroy
    // deletes both.
    auto* adapter = new IPluginClap(nullptr, [](PluginHost& host) { return std::make_unique<TestVelmora>(host); });
    plugin = static_cast<TestVelmora*>(&adapter->Plugin());
    record = adapter->ClapPlugin();
    record->init(record);
    record->activate(record, 48000.0, 1, 256);
    record->start_processing(record);
  }
  ~ClapStressTest() override {
    record->stop_processing(record);
    record->deactivate(record);
    record->destroy(record);
    std::filesystem::remove_all(home);
  }

  std::filesystem::path home = std::filesystem::temp_directory_path() / ("velmora-clap-stress-" + std::to_string(getpid()));
  TestVelmora* plugin = nullptr;
  const clap_plugin_t* record = nullptr;
};

TEST_F(ClapStressTest, ParameterEventsOnTheAudioThreadAgainstEditorEditsAndStateSaves) {
  std::atomic<bool> editing{true};
  Lists lists;
  std::thread audio([&] {
    std::array<clap_event_param_value_t, 2> values{};
    std::array<clap_event_note_t, 2> notes{};
    for (int i = 0; i < 2; ++i) {
      values[i] = {{sizeof values[i], 10, 0, CLAP_EVENT_PARAM_VALUE, 0}, clap_id(22 + i), nullptr, -1, -1, -1, -1, 0.0};
      notes[i] = {{sizeof notes[i], 20, 0, uint16_t(i ? CLAP_EVENT_NOTE_OFF : CLAP_EVENT_NOTE_ON), 0}, -1, 0, 0, 36, 1.0};
    }
    const clap_input_events_t in{&lists, Lists::Size, Lists::Get};
    const clap_output_events_t out{&lists, Lists::Push};
    const clap_process_t process{-1, 256, nullptr, nullptr, nullptr, 0, 0, &in, &out};
    for (int block = 0; editing || block % 2 == 1; ++block) {
      values[block % 2].value = block % 3 == 0 ? 1.0 : 0.0;
      lists.in = {&values[block % 2].header, &notes[block % 2].header};
      record->process(record, &process);
    }
  });
  const auto* state = static_cast<const clap_plugin_state_t*>(record->get_extension(record, CLAP_EXT_STATE));
  std::vector<uint8_t> saved;
  for (int edit = 0; edit < kEdits; ++edit) {
    const int index = edit % 2 ? kRecord : kCustomInversion5;
    plugin->BeginParamEdit(index);
    plugin->SetParameterFromEditor(index, edit % 4 < 2 ? 1.0 : 0.0);
    plugin->EndParamEdit(index);
    if (edit % 20 == 0) {
      saved.clear();
      const clap_ostream_t stream{&saved, Write};
      ASSERT_TRUE(state->save(record, &stream));
    }
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  editing = false;
  audio.join();
  record->stop_processing(record);
  const auto* params = static_cast<const clap_plugin_params_t*>(record->get_extension(record, CLAP_EXT_PARAMS));
  const clap_output_events_t out{&lists, Lists::Push};
  params->flush(record, nullptr, &out);  // whatever the last block left

  int begins = 0, values = 0, ends = 0;
  for (const clap_event_header_t& event : lists.out) {
    begins += event.type == CLAP_EVENT_PARAM_GESTURE_BEGIN;
    values += event.type == CLAP_EVENT_PARAM_VALUE;
    ends += event.type == CLAP_EVENT_PARAM_GESTURE_END;
  }
  EXPECT_EQ(begins, kEdits);
  EXPECT_EQ(values, kEdits);
  EXPECT_EQ(ends, kEdits);
  EXPECT_GT(saved.size(), 8u);
}

// process() never waits for the lock: while another thread holds it, blocks
// go out empty, and the notes and values they carried play once each, in
// order, in the first block that has it.
TEST_F(ClapStressTest, BlocksGoOnWhileTheLockIsHeldAndTheirEventsFollowInOrder) {
  {
    auto lock = plugin->Lock();
    for (int cell = 0; cell < 3; ++cell) plugin->Engine().ChordGrid[cell] = EntryFromChordRow(ChordRowIndex(cell * 4, 0), cell);
  }
  Lists lists;
  const clap_input_events_t in{&lists, Lists::Size, Lists::Get};
  const clap_output_events_t out{&lists, Lists::Push};
  const clap_process_t process{-1, 128, nullptr, nullptr, nullptr, 0, 0, &in, &out};
  clap_event_note_t note{{sizeof note, 40, 0, CLAP_EVENT_NOTE_ON, 0}, -1, 0, 0, 36, 0.8};
  clap_event_param_value_t loose{{sizeof loose, 50, 0, CLAP_EVENT_PARAM_VALUE, 0}, clap_id(kLooseMatches), nullptr, -1, -1, -1, -1, 2.0};
  {
    LockHolder holder(plugin->Mutex());
    for (int block = 0; block < 6; ++block) {
      note.header.type = block % 2 ? CLAP_EVENT_NOTE_OFF : CLAP_EVENT_NOTE_ON;
      note.key = static_cast<int16_t>(36 + block / 2);
      lists.in = {&note.header};
      if (block == 3) lists.in.push_back(&loose.header);
      EXPECT_EQ(record->process(record, &process), CLAP_PROCESS_CONTINUE);
      ASSERT_TRUE(holder.Held()) << "block " << block << " waited for the lock";
    }
    EXPECT_TRUE(lists.out.empty());
  }
  lists.in.clear();
  record->process(record, &process);
  record->process(record, &process);  // what the first had to hold back
  // Cells 1 to 3 each struck once and ended once, in their order.
  std::array<int, 128> sounding{};
  int strikes = 0;
  for (const auto& midi : lists.midi) {
    const bool on = (midi[0] & 0xF0) == 0x90;
    EXPECT_EQ(sounding[midi[1]], on ? 0 : 1) << int(midi[1]);
    sounding[midi[1]] += on ? 1 : -1;
    strikes += on;
  }
  EXPECT_EQ(strikes, 9);
  EXPECT_EQ(std::count(sounding.begin(), sounding.end(), 0), 128);
  const auto* params = static_cast<const clap_plugin_params_t*>(record->get_extension(record, CLAP_EXT_PARAMS));
  double value = 0.0;
  ASSERT_TRUE(params->get_value(record, kLooseMatches, &value));
  EXPECT_EQ(value, 2.0);
}

}  // namespace
}  // namespace velmora::test
