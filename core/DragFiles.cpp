#include "core/DragFiles.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/KeptFiles.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDragPrefix = "drag-";
// New folder names tried before a drag gives up (others may be made at the same time).
constexpr int kFolderAttempts = 16;

bool IsDragFolder(const fs::path& path) {
  std::error_code error;
  return path.filename().u8string().rfind(kDragPrefix, 0) == 0 && fs::is_directory(path, error);
}

TrackEvent Meta(uint8_t type, std::vector<uint8_t> data) {
  std::vector<uint8_t> message{0xFF, type, static_cast<uint8_t>(data.size())};
  message.insert(message.end(), data.begin(), data.end());
  return TrackEvent(0, std::move(message));
}

TrackEvent TempoEvent(double tempo) {
  if (!(tempo > 0.0) || !std::isfinite(tempo)) tempo = kDragDefaultTempo;
  const double perQuarter = std::round(60000000.0 / tempo);
  const auto micros = static_cast<uint32_t>(std::fmin(std::fmax(perQuarter, 1.0), 0xFFFFFF));
  return Meta(0x51, {static_cast<uint8_t>(micros >> 16), static_cast<uint8_t>(micros >> 8),
                     static_cast<uint8_t>(micros)});
}

bool Forbidden(char c) {
  static const std::string kForbidden = "<>:\"/\\|?*";
  return static_cast<unsigned char>(c) < 0x20 || kForbidden.find(c) != std::string::npos;
}

// A new folder of this drag's own; empty when none could be made.
fs::path NewDragFolder(const fs::path& drags) {
  std::error_code error;
  fs::create_directories(drags, error);
  for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
    const fs::path folder = drags / fs::u8path(kDragPrefix + KeptFileStamp());
    if (fs::create_directory(folder, error)) return folder;
    if (error) break;
  }
  return fs::path();
}

}  // namespace

MidiFile BuildChordBarsFile(const std::vector<Voicing>& bars, double tempo) {
  MidiFile file;
  file.SetTicksPerQuarterNote(kDragTicksPerQuarterNote);
  file.AddEvent(0, TempoEvent(tempo));
  // 4/4, a click every quarter, eight 32nds to the quarter.
  file.AddEvent(0, Meta(0x58, {4, 2, 24, 8}));
  int32_t start = 0;
  for (const Voicing& voicing : bars) {
    for (int note : voicing) {
      const auto key = static_cast<uint8_t>(note);
      file.AddEvent(0, TrackEvent(start, {0x90, key, static_cast<uint8_t>(kDragVelocity)}));
      file.AddEvent(0, TrackEvent(start + kDragTicksPerBar, {0x80, key, 0}));
    }
    start += kDragTicksPerBar;
  }
  file.sortTracks();
  return file;
}

std::string DragFileName(const std::string& what) {
  std::string name = what;
  for (char& c : name) {
    if (Forbidden(c)) c = '-';
  }
  // Windows drops trailing dots and spaces from names.
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  if (name.empty()) name = "Velmora";
  return name + ".mid";
}

std::string WriteDragFile(const std::string& dragsFolder, const std::string& name, MidiFile& file) {
  const fs::path drags = fs::u8path(dragsFolder);
  const fs::path folder = NewDragFolder(drags);
  if (folder.empty()) return std::string();
  const std::string path = (folder / fs::u8path(name)).u8string();
  if (!file.Write(path)) {
    RemoveDragFile(path);
    return std::string();
  }
  PruneKeptFiles(drags, IsDragFolder, kKeptDrags);
  return path;
}

void RemoveDragFile(const std::string& path) {
  const fs::path file = fs::u8path(path);
  std::error_code error;
  fs::remove(file, error);
  // Only the drag's own folder, and only once it is empty.
  if (file.parent_path().filename().u8string().rfind(kDragPrefix, 0) == 0) fs::remove(file.parent_path(), error);
}

}  // namespace velmora
