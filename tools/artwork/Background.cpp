// bg.png: everything that does not change. The controls draw only what
// changes on top of it, so each frame, key, arrow and caption sits exactly
// where the control that goes with it expects it.
#include <cmath>
#include <string>

#include "tools/artwork/Artwork.h"

namespace velmora::artwork {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180.0;

using namespace palette;

void Panel(Canvas& c) {
  c.Fill(RoundRect(-1, -1, kEditorWidth + 1, kEditorHeight + 1, 0),
         VerticalGradient(0, kPanelTop, kEditorHeight, kPanelBottom));
}

void Plate(Canvas& c, double x0, double y0, double x1, double y1, double radius) {
  c.Shadow(Offset(RoundRect(x0, y0, x1, y1, radius), 0, 1), Rgb(0, 0, 0, 0.5), 4);
  c.Fill(RoundRect(x0, y0, x1, y1, radius), kPlateEdge);
  c.Fill(RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius - 1), kPlate);
}

void Caption(Canvas& c, const std::string& text, int x, int top, Align align = Align::kLeft) {
  c.Text(text, kCaptionFont, x, top, align, kCaption, 1);
}

void MenuSymbol(Canvas& c) {
  const double cx = (kMenu.left + kMenu.right) / 2.0, cy = (kMenu.top + kMenu.bottom) / 2.0;
  for (int i = -1; i <= 1; ++i) {
    c.Fill(Segment({cx - 9, cy + 6.5 * i}, {cx + 9, cy + 6.5 * i}, 2.6), Rgb(196, 196, 188));
  }
}

void Logo(Canvas& c) {
  // Reads upward along the left edge, between the menu and the undo button.
  const Mask word = RotateLeft(c.ScaledTextMask("Velmora", Font{42, true}, 2));
  const Mask tag = RotateLeft(c.ScaledTextMask("chord explorer", kSmallFont, 1));
  const Mask::Ink w = word.InkBounds(), t = tag.InkBounds();
  const int left = c.Px(12), bottom = c.Px(236);
  c.DrawMask(word, left - w.left, bottom - w.bottom, Rgb(222, 222, 214));
  c.DrawMask(tag, left + (w.right - w.left) + c.Px(7) - t.left, bottom - t.bottom, kHint);
}

void Keyboard(Canvas& c) {
  const double left = WhiteKeyLeft(0) - 8, right = WhiteKeyLeft(kWhiteCount - 1) + kKeyBlock + 8;
  Plate(c, left, kBlackRowTop - 8, right, kWhiteRowTop + kKeyHeight + 8, 9);
  // A piano: white keys the whole height of both rows, narrow black keys
  // over their upper half. The keys stay in the 20 x 44 boxes of the marked
  // blocks and the rings; a black key is as wide as a ring's hole.
  const double top = kBlackRowTop, bottom = kWhiteRowTop + kKeyHeight;
  for (int i = 0; i < kWhiteCount; ++i) {
    const double x = WhiteKeyLeft(i);
    const Shape key = Union(RoundRect(x, top, x + kKeyBlock, bottom, 4), RoundRect(x, top, x + kKeyBlock, top + 8, 0));
    c.Fill(key, VerticalGradient(top, kWhiteKeyTop, bottom, kWhiteKeyBottom));
    c.Fill(Intersect(key, RoundRect(x, bottom - 3, x + kKeyBlock, bottom, 0)), Rgb(150, 148, 140, 0.6));
  }
  for (int i = 0; i < 10; ++i) {
    const double x = BlackKeyLeft(i) + kBlackKeyInset;
    c.Shadow(Offset(RoundRect(x, top, x + kBlackKeyWidth, top + kKeyHeight, 2.5), 1, 1.5), Rgb(0, 0, 0, 0.45), 2);
    const Shape key = RoundRect(x, top, x + kBlackKeyWidth, top + kKeyHeight, 2.5);
    c.Fill(key, VerticalGradient(top, kBlackKeyTop, top + kKeyHeight, kBlackKeyBottom));
    c.Fill(RoundRect(x + 2, top + kKeyHeight - 7, x + kBlackKeyWidth - 2, top + kKeyHeight - 3, 1.5),
           Rgb(255, 255, 255, 0.08));
  }
  // The two Cs, so that the octaves read at a glance.
  for (int i : {4, 11}) {
    const int cx = WhiteKeyLeft(i) + kKeyBlock / 2;
    c.Text("C", kLandmarkFont, cx, kLandmarkTop, Align::kCentre, Rgb(84, 82, 76));
  }
  Caption(c, "notes", int(left) + 2, 49);
  c.Text("click to mark  \xc2\xb7  right-click: chords must contain", kSmallFont, int(left) + 52, 50, Align::kLeft,
         kHint);
}

void ScaleSelector(Canvas& c) {
  const IntRect& b = kScaleBox;
  const int bottom = 230;  // level with the clear button beside it
  DrawWell(c, b.left, b.top, b.right, bottom, 5, kEmptyDark);
  c.Fill(RoundRect(kScaleSplit, b.top + 6, kScaleSplit + 1, bottom - 6, 0), kWellEdge);
  const Font small{11, true};
  const double noteCentre = (kNoteLabel.left + kNoteLabel.right) / 2.0;
  const double scaleCentre = (kScaleLabel.left + kScaleLabel.right) / 2.0;
  c.Text("root", small, int(noteCentre), b.top + 4, Align::kCentre, kHint, 1);
  c.Text("scale", small, int(scaleCentre), b.top + 4, Align::kCentre, kHint, 1);
  // Menu carets under the labels.
  for (double cx : {noteCentre, scaleCentre}) {
    c.Fill(Polygon({{cx - 4, bottom - 9.5}, {cx + 4, bottom - 9.5}, {cx, bottom - 5}}), Rgb(120, 120, 112));
  }
}

void DialScale(Canvas& c) {
  const double cx = kDial.left + kDialCentreX, cy = kDial.top + kDialCentreY;
  c.Fill(Arc(cx, cy, kDialTrack, 3, DialAngle(0), DialAngle(4)), Rgb(48, 48, 43));
  const char* marks[5] = {"off", "1", "2", "3", "4"};
  const Font font{12, true};
  for (int k = 0; k < 5; ++k) {
    const double a = DialAngle(k);
    const double r = k == 0 || k == 4 ? 47 : 46;
    const double x = cx + r * std::sin(a), y = cy - r * std::cos(a);
    c.Text(marks[k], font,
           int(std::lround(x + (k == 0   ? -3
                                : k == 4 ? 1
                                         : 0))),
           TopForCentre(font, y), Align::kCentre, kCaption);
  }
  Caption(c, "loose matches", int(cx), 62, Align::kCentre);
}

void Inversions(Canvas& c) {
  Caption(c, "inversions", (kInversions[0].left + kInversions[5].right) / 2, 205, Align::kCentre);
  const char* marks[6] = {"root", "1", "2", "3", "4", "5"};
  for (int i = 0; i < 6; ++i) {
    const IntRect& r = kInversions[i];
    c.Text(marks[i], Font{11, true}, (r.left + r.right) / 2, 246, Align::kCentre, kCaption);
  }
}

void UndoRedo(Canvas& c) {
  c.Text("undo", Font{11, true}, (kUndo.left + kUndo.right) / 2 - 1, 295, Align::kCentre, kCaption, 1);
  c.Text("redo", Font{11, true}, (kRedo.left + kRedo.right) / 2, 295, Align::kCentre, kCaption, 1);
}

void Grid(Canvas& c) {
  Plate(c, kGrid.left - 6, kGrid.top - 6, kGrid.right + 6, kGrid.bottom + 6, 9);
  for (int i = 0; i < 16; ++i) {
    const IntRect r = CellRect(i);
    // The cell's own outline runs one pixel inside its rectangle; what is
    // left over is the dark seam between cells.
    c.FillRect(r.left + 1, r.top + 1, kCell - 2, kCell - 2, kEmptyDark);
    c.Fill(RoundRect(r.left + 1, r.top + 1, r.right - 1, r.top + 2, 0), Rgb(255, 255, 255, 0.035));
    c.Fill(LeftTriangle(r.left + 23, r.top + 59, r.left + 35, r.top + 71), kArrow);
    c.Fill(RightTriangle(r.left + 59, r.top + 59, r.left + 71, r.top + 71), kArrow);
  }
  Caption(c, "chord grid", 124, 293);
  // The grid's handle (a picture of its own) sits between the two.
  c.Text("drag chords in from the list", kSmallFont, kGridDrag.right + 8, 294, Align::kLeft, kHint);
}

void GridButtons(Canvas& c) {
  for (const IntRect& r : {kOctaveDown, kOctaveUp}) DrawWell(c, r.left, r.top, r.right, r.bottom, 6, Rgb(40, 40, 36));
  c.Text("octave", Font{11, true}, (kOctaveDown.left + kOctaveUp.right) / 2, 653, Align::kCentre, kCaption, 1);
}

void FilterBox(Canvas& c, const IntRect& box, const IntRect& popup, const char* caption) {
  Caption(c, caption, box.left + 1, box.top - 17);
  DrawWell(c, box.left, box.top, popup.right, box.bottom + 1, 5, kEmptyDark);
  c.Fill(RoundRect(550, box.top + 7, 551, box.bottom - 6, 0), Rgb(48, 48, 43));
  const Font font{13, true};
  const double cy = (popup.top + popup.bottom) / 2.0;
  DrawRaisedButton(c, popup.left, popup.top, kPopupRootRight - 1, popup.bottom, 5, false);
  DrawRaisedButton(c, kPopupTypeLeft, popup.top, popup.right, popup.bottom, 5, false);
  c.Text("+ root", font, (popup.left + kPopupRootRight - 1) / 2, TopForCentre(font, cy), Align::kCentre, kTextGrey);
  c.Text("+ type", font, (kPopupTypeLeft + popup.right) / 2, TopForCentre(font, cy), Align::kCentre, kTextGrey);
}

// Both boxes filter the chord list; the heading says so once.
void FilterHeading(Canvas& c) {
  const int left = kInclusions.left + 1, top = 278;
  const int width = c.Text("filter", kCaptionFont, left, top, Align::kLeft, kTextGrey, 1);
  const double y = std::round(top + CapCentre(kCaptionFont));
  c.Fill(RoundRect(left + width + 8, y, kInclusionPopup.right, y + 1, 0), Rgb(58, 58, 52));
}

void ChordList(Canvas& c) {
  Plate(c, 619, 3, 960, 704, 9);
  for (int i = 0; i < kRows; ++i) {
    const IntRect in = RowInner(i);
    c.FillRect(in.left, in.top, in.Width(), in.Height(), kEmptyDark);
    const int t = RowRect(i).top;
    c.Fill(RightTriangle(931, t + 11, 943, t + 23), kArrow);
  }
  // Octave row: caption, the two arrows; the number is the control's.
  const IntRect& o = kListOctave;
  DrawWell(c, o.left - 1, o.top + 2, o.right - 1, o.bottom - 1, 4, Rgb(27, 27, 24));
  const Font font{13, true};
  Caption(c, "octave", 636, TopForCentre(font, (kListLeftArrow.top + kListLeftArrow.bottom) / 2.0));
  for (const IntRect& r : {kListLeftArrow, kListRightArrow}) {
    DrawRaisedButton(c, r.left, r.top, r.right, r.bottom, 4, false);
  }
  const IntRect& l = kListLeftArrow;
  const IntRect& r = kListRightArrow;
  c.Fill(LeftTriangle(l.left + 6, l.top + 5, l.right - 7, l.bottom - 5), kTextGrey);
  c.Fill(RightTriangle(r.left + 7, r.top + 5, r.right - 6, r.bottom - 5), kTextGrey);
  // Recorded takes: a divider before the drag word and the record switch.
  c.Fill(RoundRect(862, o.top + 9, 863, o.bottom - 8, 0), Rgb(52, 52, 47));
}

}  // namespace

double DialAngle(int position) { return (-135.0 + 67.5 * position) * kDegree; }

double CapCentre(const Font& font) {
  const Mask h = TextMask("H", font);
  const Mask::Ink ink = h.InkBounds();
  return (ink.top + ink.bottom) / 2.0 - h.originY;
}

int TopForCentre(const Font& font, double centreY) { return int(std::lround(centreY - CapCentre(font))); }

void DrawRaisedButton(Canvas& c, double x0, double y0, double x1, double y1, double radius, bool pressed) {
  const Shape body = RoundRect(x0, y0, x1, y1, radius);
  if (!pressed) {
    c.Shadow(Offset(body, 0, 1.5), Rgb(0, 0, 0, 0.45), 3);
    c.Fill(body, kButtonEdge);
    c.Fill(RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius - 1), VerticalGradient(y0, kButtonTop, y1, kButtonBottom));
    c.Fill(Subtract(RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius - 1), Offset(body, 0, 1)),
           Rgb(255, 255, 255, 0.12));
  } else {
    c.Fill(body, Rgb(0, 120, 184));
    c.Fill(RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius - 1),
           VerticalGradient(y0, kPressedTop, y1, kPressedBottom));
    c.Fill(Subtract(RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius - 1), Offset(body, 0, 2)), Rgb(0, 0, 0, 0.25));
  }
}

void DrawWell(Canvas& c, double x0, double y0, double x1, double y1, double radius, const Colour& fill) {
  c.Fill(RoundRect(x0, y0, x1, y1, radius), kWellEdge);
  c.Fill(RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius - 1), fill);
}

Shape LeftTriangle(double x0, double y0, double x1, double y1) {
  return Polygon({{x0, (y0 + y1) / 2}, {x1, y0}, {x1, y1}});
}

Shape RightTriangle(double x0, double y0, double x1, double y1) {
  return Polygon({{x0, y0}, {x1, (y0 + y1) / 2}, {x0, y1}});
}

void DrawBackground(Canvas& c) {
  // Drawn from the layout: the same picture at any scale.
  Panel(c);
  MenuSymbol(c);
  Logo(c);
  Keyboard(c);
  ScaleSelector(c);
  DialScale(c);
  Inversions(c);
  UndoRedo(c);
  Grid(c);
  GridButtons(c);
  FilterHeading(c);
  FilterBox(c, kInclusions, kInclusionPopup, "inclusions");
  FilterBox(c, kExclusions, kExclusionPopup, "exclusions");
  ChordList(c);
}

}  // namespace velmora::artwork
