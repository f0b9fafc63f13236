#pragma once

#include <string>

namespace velmora {

// The current user's application-data folder, created when missing. Never
// empty: when no per-user folder can be found or created, the system's
// temporary folder stands in.
std::string ApplicationDataFolder();

}  // namespace velmora
