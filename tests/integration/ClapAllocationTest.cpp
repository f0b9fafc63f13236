// Velmora.clap's process() allocates nothing once warmed up: notes in as
// CLAP notes and MIDI, parameter values, a take recorded from the transport
// and ended, all with the program's allocator counting (the module allocates
// through it: the program exports it). The host side here allocates nothing
// either: its event lists are made before counting starts.
#include <array>

#include "tests/core/AllocationHook.h"
#include "tests/integration/ModuleSupport.h"
#include "tools/vsthost/ClapHost.h"

namespace velmora::integration {
namespace {

using test::AllocationHook;

struct QuietLists {
  std::vector<const clap_event_header_t*> events;
  int pushed = 0;
  static uint32_t CLAP_ABI Size(const clap_input_events_t* in) {
    return static_cast<uint32_t>(static_cast<QuietLists*>(in->ctx)->events.size());
  }
  static const clap_event_header_t* CLAP_ABI Get(const clap_input_events_t* in, uint32_t i) {
    return static_cast<QuietLists*>(in->ctx)->events[i];
  }
  static bool CLAP_ABI Push(const clap_output_events_t* out, const clap_event_header_t*) {
    return ++static_cast<QuietLists*>(out->ctx)->pushed, true;
  }
};

TEST(ClapAllocationTest, NotesParametersAndATakeInProcessAllocateNothing) {
  DataHome home;
  host::ClapHost clap;
  ASSERT_TRUE(clap.load(VELMORA_CLAP_MODULE)) << clap.error();
  clap.resume();
  std::string cells = "scale 0";
  for (int i = 0; i < 16; ++i)  // sixteen six-note chords, the widest cells there are
    cells += " cell " + std::to_string(i) + " " + std::to_string(i % 12) + " " + std::to_string(29 - i % 4);
  ASSERT_TRUE(clap.setChunk(host::ChunkKind::Program, MakeState(cells)));
  ASSERT_TRUE(clap.setParameter(27, 1.0f));  // Record

  std::array<clap_event_note_t, 16> on{}, off{};
  std::array<clap_event_midi_t, 16> midiOn{}, midiOff{};
  std::array<clap_event_param_value_t, 2> loose{};
  for (int k = 0; k < 16; ++k) {
    const auto key = static_cast<int16_t>(36 + k);
    on[k] = {{sizeof(clap_event_note_t), uint32_t(k), 0, CLAP_EVENT_NOTE_ON, 0}, -1, 0, 0, key, 0.8};
    off[k] = {{sizeof(clap_event_note_t), uint32_t(k), 0, CLAP_EVENT_NOTE_OFF, 0}, -1, 0, 0, key, 0.0};
    midiOn[k] = {{sizeof(clap_event_midi_t), uint32_t(20 + k), 0, CLAP_EVENT_MIDI, 0}, 0, {0x90, uint8_t(key), 90}};
    midiOff[k] = {{sizeof(clap_event_midi_t), uint32_t(20 + k), 0, CLAP_EVENT_MIDI, 0}, 0, {0x80, uint8_t(key), 0}};
  }
  for (int i = 0; i < 2; ++i) {
    loose[i] = {{sizeof(clap_event_param_value_t), 40, 0, CLAP_EVENT_PARAM_VALUE, 0}, 11, nullptr, -1, -1, -1, -1,
                double(1 - i)};
  }
  QuietLists lists;
  lists.events.reserve(64);
  const clap_input_events_t in{&lists, QuietLists::Size, QuietLists::Get};
  const clap_output_events_t out{&lists, QuietLists::Push};
  clap_event_transport_t transport{};
  transport.header = {sizeof transport, 0, 0, CLAP_EVENT_TRANSPORT, 0};
  transport.tempo = 120.0;
  clap_process_t process{-1, 512, &transport, nullptr, nullptr, 0, 0, &in, &out};
  const clap_plugin_t* plugin = clap.plugin();
  auto block = [&](bool playing, std::initializer_list<const clap_event_header_t*> events) {
    lists.events.assign(events.begin(), events.end());
    transport.flags = CLAP_TRANSPORT_HAS_TEMPO | (playing ? CLAP_TRANSPORT_IS_PLAYING : 0);
    plugin->process(plugin, &process);
  };
  auto round = [&] {
    block(true, {});
    for (int k = 0; k < 16; ++k) block(true, {&on[k].header, &midiOn[k].header, &loose[k % 2].header});
    for (int k = 0; k < 16; ++k) block(true, {&off[k].header, &midiOff[k].header});
    block(false, {});  // ends the take: its export is handed to the writer
  };
  round();  // warm-up
  EXPECT_EQ(AllocationHook::Count(round), 0);
  EXPECT_GT(lists.pushed, 16 * 6 * 2);
  // The counter does see the module's allocations: a state save makes some.
  std::vector<uint8_t> state;
  state.reserve(1 << 16);
  EXPECT_GT(AllocationHook::Count([&] { clap.getChunk(host::ChunkKind::Program, state); }), 0);
}

}  // namespace
}  // namespace velmora::integration
