#include "framework/graphics/platform/x11/X11Scale.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "framework/graphics/EditorScale.h"
#include "framework/graphics/platform/x11/X11Display.h"

namespace velmora::x11 {

namespace {

constexpr double kBaseDpi = 96.0;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The value of the resource line whose name is exactly name; empty when
// there is none.
std::string ResourceValue(const char* resources, const char* name) {
  const std::size_t nameLength = std::strlen(name);
  for (const char* line = resources; line && *line;) {
    const char* end = std::strchr(line, '\n');
    const std::size_t length = end ? std::size_t(end - line) : std::strlen(line);
    const std::string text(line, length);
    line = end ? end + 1 : nullptr;
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) ++at;
    if (text.compare(at, nameLength, name) != 0) continue;
    at += nameLength;
    while (at < text.size() && IsBlank(text[at])) ++at;
    if (at >= text.size() || text[at] != ':') continue;
    ++at;
    while (at < text.size() && IsBlank(text[at])) ++at;
    return text.substr(at);
  }
  return std::string();
}

// A positive decimal number filling text (trailing blanks allowed); 0 otherwise.
double PositiveNumber(const std::string& text) {
  if (text.empty()) return 0;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  while (end && IsBlank(*end)) ++end;
  return end && *end == '\0' && value > 0 ? value : 0;
}

}  // namespace

int ScaleFromResources(const char* resources, const char* gdkScale) {
  const double dpi = PositiveNumber(ResourceValue(resources, "Xft.dpi"));
  if (dpi > 0) return SnapScale(dpi / kBaseDpi);
  const double factor = gdkScale ? PositiveNumber(gdkScale) : 0;
  return factor > 0 ? SnapScale(factor) : 0;
}

int SystemScale(Display* display) {
  const char* resources = display && !IsLost(display) ? XResourceManagerString(display) : nullptr;
  return ScaleFromResources(resources, std::getenv("GDK_SCALE"));
}

int DefaultDisplayScale() {
  static std::mutex lock;
  static bool read = false;
  static int scale = 0;
  std::lock_guard<std::mutex> guard(lock);
  if (read) return scale;
  read = true;
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return scale = ScaleFromResources(nullptr, std::getenv("GDK_SCALE"));
  Display* display = OpenDisplay(nullptr);
  scale = SystemScale(display);
  if (display) CloseDisplay(display);
  return scale;
}

}  // namespace velmora::x11
