#pragma once

#include <string>
#include <vector>

namespace velmora::x11 {

// Starts argv[0] (searched in PATH) with these arguments, never through a
// shell, and returns at once; false when it could not be started. The child
// is not waited for: ReapChildren collects it once it has ended.
bool SpawnChild(const std::vector<std::string>& argv);

// Collects the children that have ended, so none lingers as a zombie.
// Answers how many are still running. Cheap; the editor calls it on every idle.
int ReapChildren();

}  // namespace velmora::x11
