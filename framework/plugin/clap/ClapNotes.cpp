// The note-ports and note-name extensions of IPluginClap: one note input
// (CLAP notes or MIDI), one MIDI output, and the names of the keys the
// plug-in gives a meaning to.
#include <string>

#include "framework/plugin/HostText.h"
#include "framework/plugin/clap/ClapExtensions.h"
#include "framework/plugin/clap/IPluginClap.h"

namespace velmora {

namespace {

constexpr int kKeyCount = 128;

bool NamedKey(IPluginClap& adapter, int key, std::string* name) { return adapter.Plugin().MidiNoteName(key, name); }

}  // namespace

struct ClapNoteEntries {
  static uint32_t CLAP_ABI PortCount(const clap_plugin_t* plugin, bool /*isInput*/) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    return self && self->Plugin().DoesMidi() ? 1 : 0;
  }

  static bool CLAP_ABI PortInfo(const clap_plugin_t* plugin, uint32_t index, bool isInput,
                                clap_note_port_info_t* info) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    if (!self || !info || index != 0 || !self->Plugin().DoesMidi()) return false;
    *info = clap_note_port_info_t{};
    info->id = 0;
    // What goes out is plain MIDI, as the VST 2.4 build sends it.
    info->supported_dialects = isInput ? CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI : CLAP_NOTE_DIALECT_MIDI;
    info->preferred_dialect = isInput ? CLAP_NOTE_DIALECT_CLAP : CLAP_NOTE_DIALECT_MIDI;
    CopyToHost(info->name, isInput ? "Notes in" : "Chords out", sizeof info->name);
    return true;
  }

  static uint32_t CLAP_ABI NameCount(const clap_plugin_t* plugin) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    if (!self) return 0;
    try {
      uint32_t count = 0;
      std::string name;
      for (int key = 0; key < kKeyCount; ++key) count += NamedKey(*self, key, &name) ? 1 : 0;
      return count;
    } catch (...) {
      return 0;
    }
  }

  // The index-th named key, counting from key 0.
  static bool CLAP_ABI NameAt(const clap_plugin_t* plugin, uint32_t index, clap_note_name_t* noteName) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    if (!self || !noteName) return false;
    try {
      std::string name;
      for (int key = 0; key < kKeyCount; ++key) {
        if (!NamedKey(*self, key, &name) || index-- > 0) continue;
        *noteName = clap_note_name_t{};
        CopyToHost(noteName->name, name.c_str(), sizeof noteName->name);
        noteName->port = -1;
        noteName->key = static_cast<int16_t>(key);
        noteName->channel = -1;
        return true;
      }
    } catch (...) {
    }
    return false;
  }
};

const clap_plugin_note_ports_t kClapNotePorts = {ClapNoteEntries::PortCount, ClapNoteEntries::PortInfo};
const clap_plugin_note_name_t kClapNoteName = {ClapNoteEntries::NameCount, ClapNoteEntries::NameAt};

// [main] Every key's name in one text, to see whether any changed.
std::string IPluginClap::NoteNames() {
  std::string all, name;
  for (int key = 0; key < kKeyCount; ++key) {
    if (NamedKey(*this, key, &name)) all += name + '\n';
  }
  return all;
}

}  // namespace velmora
