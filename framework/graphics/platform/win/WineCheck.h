#pragma once

namespace velmora {

// Whether this process runs under Wine: the key "Software\Wine" exists under
// HKEY_LOCAL_MACHINE. Looked up once per process. Threads: [any].
bool RunningUnderWine();

}  // namespace velmora
