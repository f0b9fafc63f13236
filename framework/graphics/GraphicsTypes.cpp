#include "framework/graphics/GraphicsTypes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace velmora {

Rect ClampedRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  auto clamp = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  return Rect(clamp(left), clamp(top), clamp(right), clamp(bottom));
}

Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return Rect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom));
}

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom));
  if (r.right <= r.left || r.bottom <= r.top) return Rect();
  return r;
}

Pixel ToPixel(const Color& color) {
  auto channel = [](int32_t v) { return std::clamp(v, int32_t(0), int32_t(255)); };
  return MakePixel(channel(color.a), channel(color.r), channel(color.g), channel(color.b));
}

TextStyle::TextStyle(const char* fontName, int32_t sizePx, const Color& colour, int32_t styleBits,
                     int32_t alignment, int32_t orientationDegrees, int32_t qualityLevel)
    : size(sizePx),
      color(colour),
      style(styleBits),
      align(alignment),
      orientation(orientationDegrees),
      quality(qualityLevel) {
  SetFont(fontName);
}

void TextStyle::SetFont(const char* name) {
  std::memset(font, 0, sizeof font);
  if (name) std::strncpy(font, name, kFontNameSize - 1);
  cached = nullptr;
}

int RasterMode(const ChannelBlend* blend) {
  const int32_t method = blend ? blend->method : ChannelBlend::kNone;
  switch (method) {
    case ChannelBlend::kCopy: return kBlendCopy;
    case ChannelBlend::kAdd: return kBlendAdd | kBlendUseSourceAlpha;
    case ChannelBlend::kDodge: return kBlendDodge | kBlendUseSourceAlpha;
    default: return kBlendCopy | kBlendUseSourceAlpha;
  }
}

float RasterOpacity(const ChannelBlend* blend) { return blend ? blend->weight : 1.0f; }

// --- popup menus

int PopupMenu::AddItem(const char* text, int32_t flags, PopupMenu* submenu) {
  mItems.push_back(PopupMenuItem{text ? text : "", submenu, flags});
  return NItems() - 1;
}

int PopupMenu::AddSeparator() { return AddItem("", PopupMenuItem::kSeparator); }

const PopupMenuItem* PopupMenu::Item(int index) const {
  if (index < 0 || index >= NItems()) return nullptr;
  return &mItems[size_t(index)];
}

PopupMenuItem* PopupMenu::Item(int index) {
  if (index < 0 || index >= NItems()) return nullptr;
  return &mItems[size_t(index)];
}

std::string PopupMenu::ItemLabel(int index) const {
  const PopupMenuItem* item = Item(index);
  if (!item) return std::string();
  static const char* const kFormats[] = {"%1d: %s", "%02d: %s", "%03d: %s"};
  if (mNumbering < kOneDigit || mNumbering > kThreeDigits) return item->text;
  char label[400];
  std::snprintf(label, sizeof label, kFormats[mNumbering - 1], index + 1, item->text.c_str());
  return label;
}

namespace {

// Visits the menus in the order a native menu takes its ids, handing each
// its first id; stops when visit answers true. Cycles are cut and the
// number of menus is bounded, so that no menu graph can run away.
struct MenuWalk {
  static constexpr int kMaxMenus = 4096;
  int64_t counter = 0;
  int menus = 0;
  const PopupMenu* path[PopupMenu::kMaxDepth + 1] = {};

  template <class Visit>
  bool Run(PopupMenu& menu, int depth, Visit& visit) {
    if (depth > PopupMenu::kMaxDepth || ++menus > kMaxMenus) return false;
    for (int d = 0; d < depth; ++d) {
      if (path[d] == &menu) return false;
    }
    path[depth] = &menu;
    const int64_t first = counter;
    counter += menu.NItems();
    if (visit(menu, first)) return true;
    for (int i = 0; i < menu.NItems(); ++i) {
      const PopupMenuItem* item = menu.Item(i);
      if (item->submenu && !item->IsSeparator() && Run(*item->submenu, depth + 1, visit)) return true;
    }
    return false;
  }
};

}  // namespace

int PopupMenu::ItemId(const PopupMenu& root, const PopupMenu& menu, int index) {
  if (index < 0 || index >= menu.NItems()) return -1;
  int64_t found = -1;
  auto visit = [&](PopupMenu& m, int64_t first) {
    if (&m != &menu) return false;
    found = first + index;
    return true;
  };
  MenuWalk walk;
  walk.Run(const_cast<PopupMenu&>(root), 0, visit);
  return found >= 0 && found <= INT32_MAX ? int(found) : -1;
}

PopupMenu* PopupMenu::ChooseById(PopupMenu& root, int id) {
  if (id < 0) return nullptr;
  PopupMenu* owner = nullptr;
  auto visit = [&](PopupMenu& m, int64_t first) {
    if (id < first || id >= first + m.NItems()) return false;
    owner = &m;
    m.SetChosenItem(int(id - first));
    return true;
  };
  MenuWalk walk;
  walk.Run(root, 0, visit);
  return owner;
}

}  // namespace velmora
