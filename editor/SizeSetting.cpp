#include "editor/SizeSetting.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/platform/FileReplace.h"
#include "framework/graphics/EditorScale.h"

namespace velmora {
namespace {

constexpr const char* kSizeKey = "size=";
constexpr const char* kAutomatic = "automatic";

bool IsSizeLine(const std::string& line) { return line.rfind(kSizeKey, 0) == 0; }

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream file(std::filesystem::u8path(path));
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

int PercentOf(const std::string& value) {
  if (value.empty() || value.size() > 3 || value.find_first_not_of("0123456789") != std::string::npos) return 0;
  const int percent = std::stoi(value);
  return IsScaleStep(percent) ? percent : 0;
}

}  // namespace

SizeSetting::SizeSetting(const std::string& folder) : mPath(folder + "/" + kFileName) {}

int SizeSetting::Load() const {
  int percent = 0;
  for (const std::string& line : ReadLines(mPath)) {
    if (IsSizeLine(line)) percent = PercentOf(line.substr(std::string(kSizeKey).size()));
  }
  return percent;
}

bool SizeSetting::Save(int percent) const {
  std::ostringstream text;
  for (const std::string& line : ReadLines(mPath)) {
    if (!IsSizeLine(line)) text << line << '\n';
  }
  text << kSizeKey << (IsScaleStep(percent) ? std::to_string(percent) : std::string(kAutomatic)) << '\n';
  const std::string bytes = text.str();
  FileReplace file(mPath);
  if (!file.IsOpen()) return false;
  file.Append(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return file.Commit();
}

}  // namespace velmora
