#include "core/KeptFiles.h"

#include <algorithm>
#include <atomic>
#include <ctime>
#include <mutex>
#include <system_error>
#include <utility>
#include <vector>

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::atomic<unsigned> gStampNumber{0};

std::string TimeStamp() {
  static std::mutex clockMutex;  // std::localtime shares one buffer
  const std::time_t now = std::time(nullptr);
  char text[32] = {};
  std::lock_guard<std::mutex> lock(clockMutex);
  const std::tm* local = std::localtime(&now);
  if (local == nullptr || std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", local) == 0) return "00000000-000000";
  return text;
}

}  // namespace

std::string KeptFileStamp() { return TimeStamp() + "-" + std::to_string(++gStampNumber); }

void PruneKeptFiles(const fs::path& folder, const std::function<bool(const fs::path&)>& isKept, std::size_t keep) {
  std::error_code error;
  std::vector<std::pair<fs::file_time_type, fs::path>> kept;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (!isKept(it->path())) continue;
    std::error_code timeError;
    const fs::file_time_type written = fs::last_write_time(it->path(), timeError);
    if (!timeError) kept.emplace_back(written, it->path());
  }
  if (kept.size() <= keep) return;
  std::sort(kept.begin(), kept.end());
  for (std::size_t i = 0; i + keep < kept.size(); ++i) fs::remove_all(kept[i].second, error);
}

}  // namespace velmora
