#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/graphics/raster/Pixel.h"

namespace velmora {

class CachedFont;
class RasterBitmap;

// Editor geometry in pixels; right and bottom are exclusive. Only the
// all-zero rectangle counts as empty.
struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;

  Rect() = default;
  Rect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}

  bool Empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  int64_t W() const { return int64_t(right) - left; }
  int64_t H() const { return int64_t(bottom) - top; }
  bool Contains(int x, int y) const { return !Empty() && x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const Rect& o) const { return !(*this == o); }
};

// A rectangle from wide coordinates, each clamped into int32.
Rect ClampedRect(int64_t left, int64_t top, int64_t right, int64_t bottom);

// The smallest rectangle holding both; an empty side leaves the other.
Rect Union(const Rect& a, const Rect& b);
// The overlap, or the empty rectangle when they do not overlap.
Rect Intersect(const Rect& a, const Rect& b);

// ARGB, each 0..255.
struct Color {
  int32_t a = 255, r = 0, g = 0, b = 0;

  Color() = default;
  Color(int32_t a, int32_t r, int32_t g, int32_t b) : a(a), r(r), g(g), b(b) {}
  bool operator==(const Color& o) const { return a == o.a && r == o.r && g == o.g && b == o.b; }
};

// The raster pixel of a colour; channels outside 0..255 are clamped.
Pixel ToPixel(const Color& color);

struct TextStyle {
  static constexpr int kFontNameSize = 32;
  enum Style : int32_t { kNormal = 0, kBold = 1, kItalic = 2 };
  enum Align : int32_t { kNear = 0, kCenter = 1, kFar = 2 };
  enum Quality : int32_t { kDefault = 0, kNonAntiAliased = 1, kAntiAliased = 2, kClearType = 3 };

  TextStyle() { SetFont("Verdana"); }
  TextStyle(const char* font, int32_t size, const Color& color, int32_t style = kNormal, int32_t align = kCenter,
            int32_t orientation = 0, int32_t quality = kDefault);

  // Cut to 31 bytes; forgets the cached font.
  void SetFont(const char* name);
  const char* Font() const { return font; }

  char font[kFontNameSize] = {};
  int32_t size = 12;
  Color color{255, 0, 0, 0};
  Color entryBackground{255, 255, 255, 255};
  Color entryForeground{255, 0, 0, 0};
  int32_t style = kNormal;
  int32_t align = kCenter;
  int32_t orientation = 0;
  int32_t quality = kDefault;
  // Filled by the first DrawText; clear it after changing face, size,
  // style, orientation or quality. Fonts live for the whole process.
  mutable CachedFont* cached = nullptr;
  // The pixel size the cached font was made at: size at the scale drawn.
  mutable int32_t cachedSize = 0;
};

struct ChannelBlend {
  enum Method : int32_t { kNone = 0, kCopy = 1, kAdd = 2, kDodge = 3 };

  ChannelBlend() = default;
  ChannelBlend(int32_t m, float w) : method(m), weight(w) {}

  int32_t method = kNone;
  float weight = 1.0f;
};

// The raster blend mode and opacity for a blend (copy with source alpha at
// full opacity when there is none).
int RasterMode(const ChannelBlend* blend);
float RasterOpacity(const ChannelBlend* blend);

// A picture holding N frames stacked vertically (or side by side). Its
// sizes are layout pixels (the 1x picture's); id is the picture's resource
// id, by which the editor finds its drawing for another scale (0: none).
struct ImageStrip {
  const RasterBitmap* bitmap = nullptr;
  int32_t w = 0, h = 0, n = 1;
  bool framesSideBySide = false;
  int32_t id = 0;

  // The size of one frame along the stacking axis (whole strip across it).
  int32_t FrameWidth() const { return framesSideBySide ? w / (n > 0 ? n : 1) : w; }
  int32_t FrameHeight() const { return framesSideBySide ? h : h / (n > 0 ? n : 1); }
};

struct MouseMods {
  bool l = false, r = false, s = false, c = false, a = false;

  MouseMods() = default;
  MouseMods(bool left, bool right = false, bool shift = false, bool control = false, bool alt = false)
      : l(left), r(right), s(shift), c(control), a(alt) {}
};

// One representation of dragged data: a MIME type ("text/uri-list") and
// its bytes. Each platform offers the types its drop targets read and
// passes over the others.
struct DragData {
  // The Windows shell's file list (CF_HDROP): a DROPFILES record and its
  // paths, offered only by Windows.
  static constexpr const char* kWindowsFileList = "application/x-windows-hdrop";

  std::string type;
  std::string bytes;
};

// How a drag out of the editor's window ended.
enum class DragOutcome {
  kNotStarted,    // nothing offered, or no drag on this platform
  kCancelled,     // Escape, or a release where nothing took it
  kDropped,       // a drop target took the offer
  kBackInWindow,  // the pointer came back over the window before the release
};

class PopupMenu;

struct PopupMenuItem {
  enum Flags : int32_t { kNoFlags = 0, kGrayed = 1, kDisabled = 2, kChecked = 4, kSeparator = 8 };

  std::string text;
  PopupMenu* submenu = nullptr;  // not owned
  int32_t flags = kNoFlags;

  bool Checked() const { return (flags & kChecked) != 0; }
  bool IsSeparator() const { return (flags & kSeparator) != 0; }
  // Grayed, disabled and separator items cannot be chosen.
  bool Selectable() const { return (flags & (kGrayed | kDisabled | kSeparator)) == 0; }
};

class PopupMenu {
 public:
  enum Numbering : int32_t { kNoNumbering = 0, kOneDigit = 1, kTwoDigits = 2, kThreeDigits = 3 };
  // Submenus nested deeper than this are left out (a menu may even refer
  // to itself).
  static constexpr int kMaxDepth = 16;

  explicit PopupMenu(int32_t numbering = kNoNumbering) : mNumbering(numbering) {}

  int AddItem(const char* text, int32_t flags = PopupMenuItem::kNoFlags, PopupMenu* submenu = nullptr);
  int AddSeparator();
  int NItems() const { return int(mItems.size()); }
  const PopupMenuItem* Item(int index) const;
  PopupMenuItem* Item(int index);

  int32_t Numbering() const { return mNumbering; }
  int ChosenItem() const { return mChosenItem; }
  void SetChosenItem(int index) { mChosenItem = index; }

  // The label shown for item index: its text with the numbering prefix
  // ("%1d: ", "%02d: ", "%03d: " of index + 1), separators counted.
  std::string ItemLabel(int index) const;

  // Native menus number their items depth-first: a menu takes the next
  // ids for all its items before its submenus take theirs. The id of item
  // index of this menu (-1 when out of range or nested too deep), and the
  // menu that owns an id, with its chosen item set (null when no menu does).
  static int ItemId(const PopupMenu& root, const PopupMenu& menu, int index);
  static PopupMenu* ChooseById(PopupMenu& root, int id);

 private:
  int32_t mNumbering = kNoNumbering;
  int mChosenItem = -1;
  std::vector<PopupMenuItem> mItems;
};

}  // namespace velmora
