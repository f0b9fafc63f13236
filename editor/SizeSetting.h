#pragma once

#include <string>

namespace velmora {

// The user's own choice of the editor's size, the same for every project,
// every instance and both formats: one line "size=<percent>" (or
// "size=automatic") in a small settings file in the user's data folder.
// It is never part of a project's state. Lines it does not know are kept
// as they are.
//
// Threads: built with the editor; Save on the editor's thread. Each call
// reads or replaces the whole file, so instances never see half of one.
class SizeSetting {
 public:
  static constexpr const char* kFileName = "velmora-settings.txt";

  // folder: the user's data folder.
  explicit SizeSetting(const std::string& folder);

  // The choice on file: a scale step, or 0 for automatic (also for a
  // missing file or a line that names no step).
  int Load() const;
  // Writes the choice (0: automatic); false when the file could not be written.
  bool Save(int percent) const;
  const std::string& Path() const { return mPath; }

 private:
  std::string mPath;
};

}  // namespace velmora
