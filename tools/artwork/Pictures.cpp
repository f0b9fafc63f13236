// The control pictures. Frames are stacked vertically; each is drawn in its
// own coordinates and shifted down by its frame number.
#include <cmath>

#include "tools/artwork/Artwork.h"

namespace velmora::artwork {

namespace {

constexpr Colour kClear = Rgb(0, 0, 0, 0.0);

// The scale the pictures are drawn at: the background's, which the opaque
// ones are cut from.
int gPercent = 100;

using namespace palette;

Picture Make(int id, const char* file, int width, int frameHeight, int frames, bool alpha = true) {
  Picture p;
  p.id = id;
  p.file = file;
  p.frames = frames;
  p.alpha = alpha;
  p.image = std::make_unique<Canvas>(width, frameHeight * frames, kClear, gPercent);
  return p;
}

// A marked white key: the lower half of the key, where its ring goes; the
// upper half stays the key's own, between the black keys.
void WhiteBlock(Canvas& c, double top) {
  const Shape block = Union(RoundRect(0, top, kKeyBlock, top + kKeyHeight, 4), RoundRect(0, top + 1, kKeyBlock, top + 8, 1));
  c.Fill(block, VerticalGradient(top, kMarkedWhiteTop, top + kKeyHeight, kMarkedWhiteBottom));
  c.Fill(Subtract(block, Offset(block, 0, 1.2)), Rgb(255, 255, 255, 0.18));
}

Picture KeyWhite() {
  // 45 transparent rows (the black-key row), then the block.
  Picture p = Make(104, "KEY_WHITE.png", kKeyWidth, 89, 6);
  for (int f = 0; f < 6; ++f) WhiteBlock(*p.image, f * 89 + 45);
  return p;
}

// A marked black key covers the key's body: dark blue inside the ring's
// hole, a bright lip at the bottom where the ring, when there is one, lies.
Picture KeyBlack() {
  Picture p = Make(105, "KEY_BLACK.png", kKeyWidth, kKeyHeight, 1);
  Canvas& c = *p.image;
  const double x0 = kBlackKeyInset, x1 = x0 + kBlackKeyWidth;
  const Shape body = RoundRect(x0, 0, x1, kKeyHeight, 2.5);
  c.Fill(body, VerticalGradient(0, kMarkedBlackTop, kKeyHeight, kMarkedBlackBottom));
  c.Fill(Intersect(body, RoundRect(x0, kKeyHeight - 4, x1, kKeyHeight, 0)), kMarkedBlackLip);
  return p;
}

void ShuffleIcon(Canvas& c, double cx, double cy, const Paint& body, const Colour& ink) {
  const double w = 2.8, h = 9;
  // One stroke: in from the left at y0, across to y1, out to the arrowhead.
  auto stroke = [&](double y0, double y1) {
    return Union(Union(Segment({cx - 16, y0}, {cx - 8, y0}, w), Segment({cx - 8, y0}, {cx + 6, y1}, w)),
                 Segment({cx + 6, y1}, {cx + 11, y1}, w));
  };
  auto arrowHead = [&](double y) { c.Fill(Polygon({{cx + 10, y - 5}, {cx + 17, y}, {cx + 10, y + 5}}), ink); };
  // The rising stroke passes under the falling one, with a gap of body colour.
  c.Fill(stroke(cy + h, cy - h), ink);
  arrowHead(cy - h);
  c.Fill(Grow(Segment({cx - 8, cy - h}, {cx + 6, cy + h}, w), 2.2), body);
  c.Fill(stroke(cy - h, cy + h), ink);
  arrowHead(cy + h);
}

Picture Randomize() {
  Picture p = Make(119, "NEW_MELODY.png", 78, 315, 2);
  Canvas& c = *p.image;
  for (int f = 0; f < 2; ++f) {
    const bool pressed = f == 1;
    const double o = f * 315;
    // Top level with the grid's first row, bottom clear of the clear button.
    const double y0 = o + 16, y1 = o + 303;
    DrawRaisedButton(c, 3, y0, 75, y1, 8, pressed);
    const Paint body = pressed ? VerticalGradient(y0, kPressedTop, y1, kPressedBottom)
                               : VerticalGradient(y0, kButtonTop, y1, kButtonBottom);
    const Colour ink = pressed ? kLightBlue : Rgb(218, 218, 210);
    const double cy = o + 138;
    ShuffleIcon(c, 39, cy, body, ink);
    c.Text("randomize", Font{13, true}, 39, int(cy) + 26, Align::kCentre, ink);
    c.Text("grid", Font{12, false}, 39, int(cy) + 44, Align::kCentre, pressed ? kLightBlue : kCaption);
  }
  return p;
}

Picture UndoRedo(bool redo) {
  Picture p = Make(redo ? 125 : 124, redo ? "Right.png" : "Left.png", 57, 58, 2);
  Canvas& c = *p.image;
  for (int f = 0; f < 2; ++f) {
    const bool pressed = f == 1;
    const double cx = 28.5, cy = f * 58 + 24;
    const Shape disc = Disc(cx, cy, 17);
    if (!pressed) {
      c.Shadow(Offset(disc, 0, 1.5), Rgb(0, 0, 0, 0.5), 3);
      c.Fill(disc, kButtonEdge);
      c.Fill(Disc(cx, cy, 16), VerticalGradient(cy - 16, kButtonTop, cy + 16, kButtonBottom));
      c.Fill(Subtract(Disc(cx, cy, 16), Offset(Disc(cx, cy, 17), 0, 1)), Rgb(255, 255, 255, 0.12));
    } else {
      c.Fill(disc, Rgb(0, 120, 184));
      c.Fill(Disc(cx, cy, 16), VerticalGradient(cy - 16, kPressedTop, cy + 16, kPressedBottom));
    }
    const Colour ink = pressed ? kLightBlue : Rgb(200, 200, 192);
    // Optical centre: a triangle looks centred when its mass is.
    if (redo)
      c.Fill(RightTriangle(cx - 4.5, cy - 7.5, cx + 8.5, cy + 7.5), ink);
    else
      c.Fill(LeftTriangle(cx - 8.5, cy - 7.5, cx + 4.5, cy + 7.5), ink);
  }
  return p;
}

Picture TextButton(int id, const char* file, int width, int frameHeight, double x0, double y0, double x1, double y1,
                   const char* word, const char* second) {
  Picture p = Make(id, file, width, frameHeight, 2);
  Canvas& c = *p.image;
  for (int f = 0; f < 2; ++f) {
    const bool pressed = f == 1;
    const double o = f * frameHeight;
    DrawRaisedButton(c, x0, o + y0, x1, o + y1, 6, pressed);
    const Colour ink = pressed ? kLightBlue : Rgb(218, 218, 210);
    const double cx = (x0 + x1) / 2;
    if (second) {
      const double cy = o + (y0 + y1) / 2;
      c.Text(word, kButtonFont, int(cx), TopForCentre(kButtonFont, cy - 7), Align::kCentre, ink);
      c.Text(second, Font{12, false}, int(cx), TopForCentre(Font{12, false}, cy + 9), Align::kCentre,
             pressed ? kLightBlue : kCaption);
    } else {
      c.Text(word, kButtonFont, int(cx), TopForCentre(kButtonFont, o + (y0 + y1) / 2), Align::kCentre, ink);
    }
  }
  return p;
}

Picture Dial() {
  Picture p = Make(131, "Loose_Matches.png", 100, 103, 5);
  Canvas& c = *p.image;
  for (int k = 0; k < 5; ++k) {
    const double cx = kDialCentreX, cy = k * 103 + kDialCentreY;
    // The value runs along the background's track from off to the position.
    if (k > 0)
      c.Fill(Arc(cx, cy, kDialTrack, 3, DialAngle(0), DialAngle(k)), kLockedBlue);
    else
      c.Fill(Disc(cx + kDialTrack * std::sin(DialAngle(0)), cy - kDialTrack * std::cos(DialAngle(0)), 2.2),
             Rgb(110, 110, 102));
    const Shape knob = Disc(cx, cy, 25);
    c.Shadow(Offset(knob, 0, 2.5), Rgb(0, 0, 0, 0.6), 5);
    c.Fill(knob, Rgb(88, 88, 80));
    c.Fill(Disc(cx, cy, 24), VerticalGradient(cy - 24, Rgb(76, 76, 70), cy + 24, Rgb(42, 42, 38)));
    c.Fill(Disc(cx, cy, 19), VerticalGradient(cy - 19, Rgb(50, 50, 46), cy + 19, Rgb(62, 62, 57)));
    const double a = DialAngle(k);
    const double sx = std::sin(a), sy = -std::cos(a);
    c.Fill(Segment({cx + 7 * sx, cy + 7 * sy}, {cx + 17 * sx, cy + 17 * sy}, 3.2),
           k > 0 ? Rgb(236, 236, 228) : Rgb(170, 170, 162));
  }
  return p;
}

Picture OctaveSign(bool up) {
  Picture p = Make(up ? 133 : 134, up ? "Grid_Oct_Up.png" : "Grid_Oct_Down.png", 29, 29, 2);
  Canvas& c = *p.image;
  for (int f = 0; f < 2; ++f) {
    const double cx = 14.5, cy = f * 29 + 14.5;
    Shape sign = Segment({cx - 6, cy}, {cx + 6, cy}, 2.8);
    if (up) sign = Union(sign, Segment({cx, cy - 6}, {cx, cy + 6}, 2.8));
    c.Fill(sign, f == 0 ? Rgb(240, 240, 234) : Rgb(240, 240, 234, 0.35));
  }
  return p;
}

// Opaque pictures: cut from the background so that their edges vanish.
Picture Inversion(int i, const Canvas& background) {
  static const char* kFiles[6] = {"inversion_control_0.png", "inversion_control_1.png", "inversion_control_2.png",
                                  "inversion_control_3.png", "inversion_control_4.png", "inversion_control_5.png"};
  const IntRect& r = kInversions[i];
  Picture p = Make(135 + i, kFiles[i], r.Width(), r.Height(), 2, false);
  Canvas& c = *p.image;
  for (int f = 0; f < 2; ++f) {
    const double o = f * r.Height();
    c.CopyFrom(background, r.left, r.top, r.Width(), r.Height(), 0, int(o));
    const double x0 = (r.Width() - 14) / 2.0, y0 = o + 3;
    const Shape square = RoundRect(x0, y0, x0 + 14, y0 + 14, 3);
    if (f == 0) {
      c.Fill(square, Rgb(86, 86, 78));
      c.Fill(RoundRect(x0 + 1, y0 + 1, x0 + 13, y0 + 13, 2),
             VerticalGradient(y0, Rgb(58, 58, 53), y0 + 14, Rgb(48, 48, 44)));
    } else {
      c.Fill(square, Rgb(92, 190, 240));
      c.Fill(RoundRect(x0 + 1, y0 + 1, x0 + 13, y0 + 13, 2),
             VerticalGradient(y0, Rgb(16, 160, 234), y0 + 14, kLockedBlue));
    }
  }
  return p;
}

Picture Record() {
  Picture p = Make(141, "RECORD.png", 22, 20, 2);
  Canvas& c = *p.image;
  for (int f = 0; f < 2; ++f) {
    const double cx = 11, cy = f * 20 + 10;
    if (f == 0) {
      c.Fill(Disc(cx, cy, 7), Rgb(120, 34, 32));
      c.Fill(Disc(cx, cy, 6), VerticalGradient(cy - 6, Rgb(104, 26, 24), cy + 6, Rgb(78, 18, 17)));
    } else {
      c.Fill(Disc(cx, cy, 9.5), Rgb(255, 60, 50, 0.18));
      c.Fill(Disc(cx, cy, 7), Rgb(255, 110, 100));
      c.Fill(Disc(cx, cy, 6), VerticalGradient(cy - 6, Rgb(255, 78, 66), cy + 6, Rgb(214, 30, 28)));
    }
  }
  return p;
}

Picture DragWord(bool dim) {
  Picture p = Make(dim ? 143 : 142, dim ? "DRAG_DIM.png" : "DRAG.png", 36, 17, 1);
  const Font font{15, true};
  p.image->Text("Drag", font, 18, TopForCentre(font, 8.5), Align::kCentre, dim ? Rgb(84, 84, 77) : kLabelGrey);
  return p;
}

// The grid's handle: a small raised tab with a grip of six dots, which a
// press drags; dimmed flat while the grid is empty.
Picture GridHandle() {
  const int w = kGridDrag.Width(), h = kGridDrag.Height();
  Picture p = Make(144, "GRID_DRAG.png", w, h, 2);
  Canvas& c = *p.image;
  for (int f = 0; f < 2; ++f) {
    const bool dim = f == 1;
    const double o = f * h;
    if (dim)
      DrawWell(c, 1, o + 1, w - 1, o + h - 1, 4, Rgb(27, 27, 24));
    else
      DrawRaisedButton(c, 1, o + 1, w - 1, o + h - 2, 4, false);
    const Colour ink = dim ? Rgb(84, 84, 77) : Rgb(218, 218, 210);
    const double cy = o + (dim ? h / 2.0 : (h - 1) / 2.0);
    for (int row = -1; row <= 1; ++row) {
      for (double cx : {w / 2.0 - 2.5, w / 2.0 + 2.5}) c.Fill(Disc(cx, cy + 4.5 * row, 1.35), ink);
    }
  }
  return p;
}

}  // namespace

std::vector<Picture> MakePictures(const Canvas& background) {
  gPercent = background.Percent();
  std::vector<Picture> out;
  out.push_back(KeyWhite());
  out.push_back(KeyBlack());
  out.push_back(Randomize());
  out.push_back(UndoRedo(false));
  out.push_back(UndoRedo(true));
  // Body level with the scale box: 184..230 in the editor.
  out.push_back(TextButton(130, "Clear_Notes.png", 84, 59, 4, 13, 80, 59, "clear", "notes"));
  out.push_back(Dial());
  out.push_back(TextButton(132, "Clear_Grid.png", 78, 48, 3, 6, 75, 39, "clear", nullptr));
  out.push_back(OctaveSign(true));
  out.push_back(OctaveSign(false));
  for (int i = 0; i < 6; ++i) out.push_back(Inversion(i, background));
  out.push_back(Record());
  out.push_back(DragWord(false));
  out.push_back(DragWord(true));
  out.push_back(GridHandle());
  return out;
}

}  // namespace velmora::artwork
