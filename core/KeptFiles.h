#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

namespace velmora {

// The files Velmora leaves in folders of the user's data folder for hosts to
// pick up (recorded takes, dragged chords): names that tell them apart, and
// the pruning that keeps the newest.
//
// Threads: [any], never the processing thread (they touch the disk).

// "<date>-<time>-<n>": the local second and a number that every instance of
// the module counts on together.
std::string KeptFileStamp();

// Removes all but the newest keep entries of folder that isKept accepts (a
// folder goes with what it holds). An entry that cannot be looked at or
// removed stays where it is.
void PruneKeptFiles(const std::filesystem::path& folder,
                    const std::function<bool(const std::filesystem::path&)>& isKept, std::size_t keep);

}  // namespace velmora
