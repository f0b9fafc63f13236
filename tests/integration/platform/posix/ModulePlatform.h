#pragma once

// Where the module under test writes its export, and how tests make states,
// on POSIX systems.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace velmora::integration {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A private data folder per test, set before any instance fixes its export
// path: the plug-in writes velmora-midi.mid there.
struct DataHome {
  fs::path path = fs::temp_directory_path() /
                  ("velmora-module-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  DataHome() {
    fs::remove_all(path);
    fs::create_directories(path);
    setenv("XDG_DATA_HOME", path.c_str(), 1);
  }
  ~DataHome() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
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
inline Bytes MakeState(const std::string& arguments) {
  Bytes bytes;
  const std::string command = std::string("'") + VELMORA_MAKE_STATE + "' " + arguments + " -";
  if (FILE* pipe = popen(command.c_str(), "r")) {
    unsigned char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    if (pclose(pipe) != 0) bytes.clear();
  }
  return bytes;
}

}  // namespace velmora::integration
