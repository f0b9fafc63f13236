// What the editor shows beyond the values it holds: text that fits, rings
// that stand out, hints, dimmed buttons and the drag's feedback.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "editor/DragFeedback.h"
#include "editor/EditorStyle.h"
#include "editor/StateButtons.h"
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

// Every text of each kind, in the style its control draws it with (a cell's
// name at the size the cell picks for it), against the room its rectangle
// leaves: two pixels from the rectangle's edges and from what is drawn next
// to it (x marks, arrows, outlines, play triangle). Text is drawn from its
// rectangle's top, so the top is the font's own, except the list's octave,
// which must sit level with its arrows.
TEST(TextFit, EveryChordNameFilterEntryAndOctaveKeepsTwoPixelsOfAir) {
  HeadlessGraphics surface(nullptr, VelmoraEditor::kWidth, VelmoraEditor::kHeight);
  surface.CreateSurfaces();
  auto* probe = surface.Adopt(std::make_unique<TextProbe>());
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
    bool fitted = false;
  };
  const Color grey = style::kLabelGrey;
  const Kind kinds[] = {
      {"list name", style::Text(style::kListNameSize, grey, TextStyle::kBold, TextStyle::kNear), Rect(636, 17, 955, 40),
       Rect(636, 17, 929, 36), names},
      {"cell name", style::Text(style::kCellNameSize, grey, TextStyle::kBold, TextStyle::kCenter),
       Rect(L, T + 22, L + 94, T + 94), Rect(L + 4, T + 22, L + 90, T + 52), names, true},
      {"cell octave", style::Text(style::kCellOctaveSize, grey, TextStyle::kNormal, TextStyle::kCenter),
       Rect(L + 40, T + 57, L + 56, T + 91), Rect(L + 42, T + 57, L + 54, T + 89), octaves},
      // Between the arrows' frames (columns 710 and 726), in their triangles' rows.
      {"list octave", style::Text(style::kCellOctaveSize, grey, TextStyle::kNormal, TextStyle::kCenter),
       Rect(711, 676, 726, 697), Rect(713, 678, 724, 689), octaves},
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
      if (kind.fitted) {
        probe->style = kind.style;
        probe->style.size = ListedChordControl::CellNameSize(surface, text, ListedChordControl::kCellNameRoom);
      }
      const Rect ink = InkOf(surface, *probe);
      ASSERT_LT(ink.left, ink.right) << kind.what << " \"" << text << "\" drew nothing";
      EXPECT_TRUE(Inside(ink, kind.room)) << kind.what << " \"" << text << "\" inks (" << ink.left << ", " << ink.top
                                          << ", " << ink.right << ", " << ink.bottom << ")";
    }
  }
  // A name wider than its room steps down until it fits.
  const TextStyle wide = style::Text(style::kCellNameSize, grey, TextStyle::kBold, TextStyle::kCenter);
  Rect measured(0, 0, 100, 0);
  surface.MeasureText(wide, "G#/Ab mmaj7", measured);
  const int room = measured.right - measured.left - 6;
  const int size = ListedChordControl::CellNameSize(surface, "G#/Ab mmaj7", room);
  EXPECT_LT(size, style::kCellNameSize);
  measured = Rect(0, 0, 100, 0);
  surface.MeasureText(style::Text(size, grey, TextStyle::kBold, TextStyle::kCenter), "G#/Ab mmaj7", measured);
  EXPECT_LE(measured.right - measured.left, room);
}

// The rings of the pitch classes every chord must contain, on every key
// state they sit on: the ring against the pixels on both sides of it, and on
// a marked key against the key's face as well.
TEST_F(EditorTest, RingsStandOutOnEveryKeyState) {
  struct Probe {
    const char* state;
    int pitchClass, f, e;  // the ring's corner, as the keyboard draws it
    bool marked;
  };
  // E and C# unmarked; C, D and D# marked by presses on their keys.
  const Probe probes[] = {{"white", 4, 275, 119, false},
                          {"black", 1, 243, 74, false},
                          {"marked white", 2, 254, 119, true},
                          {"marked black", 3, 264, 74, true}};
  host.Block();
  for (auto [x, y] : {std::pair{243, 140}, {264, 140}, {275, 80}}) {
    ui.OnMouseDown(x, y, kLeft);
    host.Block();
    ui.OnMouseUp(x, y, MouseMods());
    host.Block();
  }
  for (const Probe& p : probes) host.ToggleKeyboardNote(p.pitchClass + 12);
  Tick();
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.state);
    const int y = p.e + 22;
    const Pixel ring = At(p.f + 1, y);
    EXPECT_GE(Contrast(ring, At(p.f - 1, y)), 3.0);
    EXPECT_GE(Contrast(ring, At(p.f + 4, y)), 3.0);
    if (p.marked) {
      EXPECT_GE(Contrast(ring, At(p.f + 8, y)), 3.0) << std::hex << ring << " on " << At(p.f + 8, y);
    }
  }
  // A marked C keeps its letter.
  EXPECT_LT(PixelRed(At(242, 130)), 40);  // marked
  int light = 0;
  for (int y = 148; y < 160; ++y)
    for (int x = 238; x < 248; ++x) light += PixelRed(At(x, y)) > 200;
  EXPECT_GT(light, 6);
  EXPECT_LT(light, 60);
}

// A fresh list asks for a root and a scale; a list the filters empty says so.
TEST_F(EditorTest, AnEmptyListSaysWhy) {
  auto hintInk = [&] {
    int ink = 0;
    for (int y = 9; y < 38; ++y)
      for (int x = 630; x < 950; ++x) ink += PixelGreen(At(x, y)) > 100;
    return ink;
  };
  EXPECT_STREQ(Row(0).Hint(), ListOfChordsControl::kPickHint);
  EXPECT_GT(hintInk(), 40);
  ChooseCMajor();
  EXPECT_EQ(Row(0).Hint(), nullptr);
  {
    auto lock = host.Lock();
    engine().ExcludedChordTypes.fill(true);
    engine().RebuildChordList();
  }
  Tick();
  EXPECT_STREQ(Row(0).Hint(), ListOfChordsControl::kNoFitHint);
  EXPECT_GT(hintInk(), 40);
}

// Undo is dimmed until a step can be undone; a press still reaches it.
TEST_F(EditorTest, UndoIsDimmedWhileThereIsNothingToUndo) {
  auto undoInk = [&] { return Luminance(At(37, 274)); };  // the triangle's middle
  EXPECT_FALSE(Controls().undo->IsAvailable());
  const double dimmed = undoInk();
  ChooseCMajor();
  Click(444, 450);  // randomize twice: one step to undo
  Click(444, 450);
  Tick();
  EXPECT_TRUE(Controls().undo->IsAvailable());
  EXPECT_FALSE(Controls().redo->IsAvailable());
  EXPECT_GT(undoInk(), dimmed * 2);
}

// Record blinks only while the transport runs with it armed.
TEST_F(EditorTest, RecordBlinksWhileCapturing) {
  RecordSwitchControl& record = *Controls().record;
  Click(936, 683);
  host.Block();
  Tick();
  EXPECT_FALSE(record.IsCapturing());
  const Pixel armed = At(937, 683);
  host.hostTime.transportIsRunning = true;
  host.Block();
  Tick();
  ASSERT_TRUE(record.IsCapturing());
  const int64_t now = 10 * RecordSwitchControl::kBlinkMs;
  record.ShowCapturing(true, now);
  ui.DrawArea(record.GetRect());
  const Pixel lit = At(937, 683);
  record.ShowCapturing(true, now + RecordSwitchControl::kBlinkMs);
  ui.DrawArea(record.GetRect());
  EXPECT_EQ(lit, armed);
  EXPECT_NE(At(937, 683), lit);
}

// While a row is dragged its name follows the pointer and the cell it would
// land in is outlined; outside the grid, or over the dragged cell itself,
// nothing is; the release clears it all.
TEST_F(EditorTest, ADraggedChordShowsItsLabelAndTheCellItWouldFill) {
  ChooseCMajor();
  Tick();
  const DragFeedbackControl& feedback = *Controls().dragFeedback;
  const auto [cx, cy] = CellCentre(5);
  ui.OnMouseDown(700, RowY(0), kLeft);
  ui.OnMouseDrag(500, 300, kLeft);
  Tick();
  EXPECT_TRUE(feedback.TargetRect().Empty());  // outside the grid
  ASSERT_FALSE(feedback.LabelRect().Empty());
  const Rect label = feedback.LabelRect();
  EXPECT_EQ(At(label.left + 2, label.top + 2), Rgb(236, 236, 228));
  ui.OnMouseDrag(cx, cy, kLeft);
  Tick();
  const CellRect cell = GridCellRect(5);
  EXPECT_EQ(At(cell.left + 1, cy), Rgb(236, 236, 228));
  EXPECT_EQ(At(cell.left + 2, cy), Rgb(236, 236, 228));
  // The wheel may turn the list under the drag; the label stays the chord dragged.
  const std::string dragged = feedback.LabelText();
  EXPECT_EQ(dragged, "C maj");
  ui.OnMouseWheel(700, RowY(3), MouseMods(), -2.0f);
  Tick();
  EXPECT_EQ(feedback.LabelText(), dragged);
  ui.OnMouseUp(cx, cy, MouseMods());
  Tick();
  EXPECT_TRUE(feedback.LabelRect().Empty());
  EXPECT_NE(At(cell.left + 2, cy), Rgb(236, 236, 228));
  EXPECT_NE(At(label.left + 2, label.top + 2), Rgb(236, 236, 228));
  // A cell over itself takes nothing.
  ui.OnMouseDown(cx, cy - 30, kLeft);
  ui.OnMouseDrag(cx + 5, cy - 30, kLeft);
  Tick();
  EXPECT_FALSE(feedback.LabelRect().Empty());
  EXPECT_TRUE(feedback.TargetRect().Empty());
  ui.OnMouseUp(cx + 5, cy - 30, MouseMods());
}

// Menus tick what is chosen: the scale's root and scale, a box's entries.
TEST_F(EditorTest, MenusTickWhatIsChosen) {
  ui.ScriptPopupChoice(16);
  Click(300, 200);  // Dorian Mode
  ui.ScriptPopupChoice(4);
  Click(500, 680);  // exclude E
  ui.ScriptPopupDismiss();
  Click(300, 200);
  ui.ScriptPopupDismiss();
  Click(500, 680);
  const auto& menus = ui.ShownMenus();
  ASSERT_EQ(menus.size(), 4u);
  auto ticked = [](const HeadlessGraphics::ShownMenu& m) {
    std::vector<int> out;
    for (size_t i = 0; i < m.flags.size(); ++i)
      if (m.flags[i] & PopupMenuItem::kChecked) out.push_back(int(i));
    return out;
  };
  EXPECT_TRUE(ticked(menus[0]).empty());
  EXPECT_EQ(ticked(menus[2]), std::vector<int>{16});
  EXPECT_EQ(ticked(menus[3]), std::vector<int>{4});
}

}  // namespace velmora::test
