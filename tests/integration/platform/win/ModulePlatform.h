#pragma once

// Where the module under test writes its export, and how tests make states,
// on Windows (the tests run under Wine). Velmora.dll exports to the roaming
// application-data folder, which every test of the process shares.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace velmora::integration {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// The user's roaming application-data folder (CSIDL_APPDATA).
fs::path RoamingAppData();
// Runs velmora-make-state with arguments and answers what it wrote to its
// standard output; empty when it failed.
Bytes RunMakeState(const std::string& arguments);

// The export folder, and no export in it before or after a test.
struct DataHome {
  fs::path path = RoamingAppData();
  DataHome() {
    std::error_code ignored;
    fs::remove(ExportFile(), ignored);
  }
  ~DataHome() {
    std::error_code ignored;
    fs::remove(ExportFile(), ignored);
  }
  fs::path ExportFile() const { return path / "velmora-midi.mid"; }
  // The export is written by the plug-in's own thread shortly after the take
  // ends: true once the file is there (it appears whole, by a rename).
  bool WaitForExport(std::chrono::seconds patience = std::chrono::seconds(10)) const {
    const auto until = std::chrono::steady_clock::now() + patience;
    while (!fs::exists(ExportFile())) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }
};

// A program chunk from velmora-make-state, e.g. "cell 0 0 0" for C maj in cell 0.
inline Bytes MakeState(const std::string& arguments) { return RunMakeState(arguments); }

}  // namespace velmora::integration
