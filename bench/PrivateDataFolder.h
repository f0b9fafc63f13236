#pragma once
// Benchmarks that export keep the user's data folder out of it: a folder of
// their own, named after the program and its process, removed at exit.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

inline bool UsePrivateDataFolder(const char* program) {
  static const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / (std::string(program) + "-" + std::to_string(getpid()));
  setenv("XDG_DATA_HOME", folder.c_str(), 1);
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  });
  return true;
}
