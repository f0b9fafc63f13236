// What the editor shows beyond the values it holds: text that fits, rings
// that stand out, hints, dimmed buttons and the drag's feedback.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "editor/EditorStyle.h"
#include "engine/Tables.h"
#include "tests/editor/EditorTestSupport.h"

namespace velmora::test {
namespace {

// WCAG contrast of two opaque pixels.
double Luminance(Pixel p) {
  auto channel = [](int v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(PixelRed(p)) + 0.7152 * channel(PixelGreen(p)) + 0.0722 * channel(PixelBlue(p));
}
double Contrast(Pixel a, Pixel b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Draws one text on black through the editor's own drawing path and fonts.
class TextProbe : public IControl {
 public:
  TextProbe() : IControl(nullptr, Rect(0, 0, VelmoraEditor::kWidth, VelmoraEditor::kHeight)) {}
  bool Draw(IGraphics& graphics) override {
    graphics.FillRectangle(Color(255, 0, 0, 0), mRect);
    return graphics.DrawText(style, text.c_str(), rect);
  }
  TextStyle style;
  std::string text;
  Rect rect;
};

// The box of every pixel the text inked, right and bottom exclusive.
Rect InkOf(HeadlessGraphics& surface, TextProbe& probe) {
  surface.DrawArea(probe.GetRect());
  Rect ink(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
  for (int y = 0; y < VelmoraEditor::kHeight; ++y) {
    const Pixel* row = surface.DrawingSurface()->Row(y);
    for (int x = 0; x < VelmoraEditor::kWidth; ++x) {
      if ((row[x] & 0xffffffu) == 0) continue;
      ink = Rect(std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1), std::max(ink.bottom, y + 1));
    }
  }
  return ink;
}

bool Inside(const Rect& ink, const Rect& room) {
  return ink.left >= room.left && ink.top >= room.top && ink.right <= room.right && ink.bottom <= room.bottom;
}

}  // namespace

// Every text of each kind, in the style its control draws it with, against
// the room its rectangle leaves: two pixels from the rectangle's edges and
// from what is drawn next to it (x marks, arrows, outlines, play triangle).
// Text is drawn from its rectangle's top, so the top is the font's own.
TEST(TextFit, EveryChordNameFilterEntryAndOctaveKeepsTwoPixelsOfAir) {
  HeadlessGraphics surface(nullptr, VelmoraEditor::kWidth, VelmoraEditor::kHeight);
  surface.CreateSurfaces();
  auto* probe = new TextProbe;
  surface.AddControl(probe);
  std::vector<std::string> names, roots, types, octaves;
  for (int t = 0; t < kChordTypeCount; ++t) {
    types.push_back(ChordTypeSuffix(t));
    for (int r = 0; r < kPitchClassCount; ++r) names.push_back(ChordName(r, t));
  }
  for (int r = 0; r < kPitchClassCount; ++r) roots.push_back(NoteLongName(r));
  for (int o = -4; o <= 4; ++o) octaves.push_back(std::to_string(o));
  const int L = 17, T = 316;  // a grid cell; list row 0 at top 7
  struct Kind {
    const char* what;
    TextStyle style;
    Rect rect, room;
    const std::vector<std::string>& texts;
  };
  const Color grey = style::kLabelGrey;
  const Kind kinds[] = {
      {"list name", style::Text(style::kListNameSize, grey, TextStyle::kBold, TextStyle::kNear), Rect(636, 17, 955, 40),
       Rect(636, 17, 929, 36), names},
      {"cell name", style::Text(style::kCellNameSize, grey, TextStyle::kBold, TextStyle::kCenter),
       Rect(L, T + 22, L + 94, T + 94), Rect(L + 4, T + 22, L + 90, T + 52), names},
      {"cell octave", style::Text(style::kCellOctaveSize, grey, TextStyle::kNormal, TextStyle::kCenter),
       Rect(L + 40, T + 57, L + 56, T + 91), Rect(L + 42, T + 57, L + 54, T + 89), octaves},
      {"list octave", style::Text(style::kListOctaveSize, grey, TextStyle::kNormal, TextStyle::kCenter),
       Rect(714, 676, 726, 697), Rect(716, 676, 724, 695), octaves},
      {"filter root", style::Text(style::kFilterEntrySize, grey, TextStyle::kNormal, TextStyle::kNear),
       Rect(497, 330, 556, 346), Rect(497, 330, 534, 344), roots},
      {"filter type", style::Text(style::kFilterEntrySize, grey, TextStyle::kNormal, TextStyle::kNear),
       Rect(556, 330, 606, 346), Rect(556, 330, 592, 344), types},
  };
  for (const Kind& kind : kinds) {
    probe->style = kind.style;
    probe->rect = kind.rect;
    for (const std::string& text : kind.texts) {
      probe->text = text;
      const Rect ink = InkOf(surface, *probe);
      ASSERT_LT(ink.left, ink.right) << kind.what << " \"" << text << "\" drew nothing";
      EXPECT_TRUE(Inside(ink, kind.room)) << kind.what << " \"" << text << "\" inks (" << ink.left << ", " << ink.top
                                          << ", " << ink.right << ", " << ink.bottom << ")";
    }
  }
}

}  // namespace velmora::test
