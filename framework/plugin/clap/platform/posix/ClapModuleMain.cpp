// The one export of an ELF CLAP module: the data symbol clap_entry. Everything
// else stays hidden (see exports.map).
#include "framework/plugin/clap/ClapEntry.h"

// Without braces, extern "C" keeps the object's external linkage.
// NOLINTNEXTLINE(readability-identifier-naming): the name hosts look up
extern "C" __attribute__((visibility("default"))) const clap_plugin_entry_t clap_entry = {
    CLAP_VERSION_INIT, velmora::ClapEntryInit, velmora::ClapEntryDeinit, velmora::ClapEntryFactory};
