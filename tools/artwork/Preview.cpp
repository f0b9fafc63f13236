// A look at the pictures as the editor will show them: decoded from the
// written files and drawn the way the controls draw, once idle and once in
// use (pressed and switched-on frames, chords listed and sounding, keys
// marked and ringed, filters filled).
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "framework/graphics/raster/FontCache.h"
#include "framework/graphics/raster/PixelOps.h"
#include "framework/graphics/raster/PngCodec.h"
#include "tools/artwork/Artwork.h"

namespace velmora::artwork {

namespace {

struct Strip {
  std::unique_ptr<MemBitmap> bitmap;
  int frames = 1;
};

constexpr int kImageMode = kBlendCopy | kBlendUseSourceAlpha;

Pixel Argb(int r, int g, int b) { return MakePixel(255, r, g, b); }

// The editor's drawing operations, on one bitmap.
class Surface {
 public:
  explicit Surface(RasterBitmap& b) : bitmap_(b) {}

  void Frame(const Strip& s, int x, int y, int frame) {
    const int h = s.bitmap->Height() / s.frames;
    const int offset = frame >= 2 ? int(double(s.bitmap->Height()) * (frame - 1) / s.frames + 0.5) : 0;
    Blit(bitmap_, *s.bitmap, x, y, 0, offset, s.bitmap->Width(), h, 1.0f, kImageMode);
  }
  void FillRectangle(Pixel c, const IntRect& r) {
    velmora::FillRect(bitmap_, r.left, r.top, r.Width(), r.Height(), c, 1.0f, kImageMode);
  }
  void DrawRectangle(Pixel c, const IntRect& r) {
    DrawLine(bitmap_, r.left, r.top, r.right, r.top, c, 1.0f, kBlendCopy, false);
    DrawLine(bitmap_, r.left, r.bottom, r.right, r.bottom, c, 1.0f, kBlendCopy, false);
    DrawLine(bitmap_, r.left, r.top, r.left, r.bottom, c, 1.0f, kBlendCopy, false);
    DrawLine(bitmap_, r.right, r.top, r.right, r.bottom, c, 1.0f, kBlendCopy, false);
  }
  void Triangle(Pixel c, int x1, int y1, int x2, int y2, int x3, int y3) {
    FillTriangle(bitmap_, x1, y1, x2, y2, x3, y3, c, 1.0f, kImageMode);
  }
  void Plot(Pixel c, int x, int y) { PutPixel(bitmap_, x, y, c, 1.0f, kBlendCopy); }
  void Line(Pixel c, int x1, int y1, int x2, int y2) { DrawLine(bitmap_, x1, y1, x2, y2, c, 1.0f, kBlendCopy, false); }
  void Text(int size, bool bold, Pixel c, Align align, const std::string& text, const IntRect& r) {
    FontRequest request;
    request.face = "Arial";
    request.size = size;
    request.style = bold ? 1 : 0;
    CachedFont* font = FontCache::Get(request);
    if (!font) return;
    int flags = kTextNoClip;
    if (align == Align::kCentre)
      flags |= kTextCenter;
    else if (align == Align::kRight)
      flags |= kTextRight;
    font->SetTextColor(c);
    RasterRect rr{r.left, r.top, r.right, r.bottom};
    font->RenderText(bitmap_, text.c_str(), -1, rr, flags);
  }

 private:
  RasterBitmap& bitmap_;
};

const Pixel kDark = ToPixel(kEmptyDark);
const Pixel kGreen = ToPixel(kSounding);
const Pixel kBlue = ToPixel(kLockedBlue);
const Pixel kLight = ToPixel(kLightBlue);
const Pixel kGrey = ToPixel(kLabelGrey);
const Pixel kNumberGrey = ToPixel(kTextGrey);

void ListRow(Surface& s, int i, const char* name, bool sounding) {
  const IntRect row = RowRect(i);
  const IntRect inner{row.left - 1, row.top + 2, row.right - 2, row.bottom - 2};
  if (!name) {
    s.FillRectangle(kDark, inner);
    s.DrawRectangle(kDark, inner);
    return;
  }
  const IntRect label{row.left + 10, row.top + 10, row.right, row.bottom};
  if (!sounding) {
    s.Text(17, true, kGrey, Align::kLeft, name, label);
    return;
  }
  s.Text(17, true, kGreen, Align::kLeft, name, label);
  s.DrawRectangle(kGreen, inner);
  const int x1 = inner.right - 22, y1 = inner.top + 9;
  s.Triangle(kGreen, x1, y1, inner.right - 22, inner.bottom - 9, inner.right - 11, inner.top + 14);
  for (int k = 0; k <= 5; ++k) {
    s.Plot(Argb(48, 168, 90), x1 + 2 * k, y1 + k);
    s.Plot(Argb(48, 168, 90), x1 + 10 - 2 * k, y1 + 6 + k);
    s.Plot(Argb(39, 79, 52), x1 + 2 * k + 1, y1 + k);
    s.Plot(Argb(39, 79, 52), x1 + 11 - 2 * k, y1 + 6 + k);
  }
}

struct Cell {
  const char* name = nullptr;
  int octave = 0, inversion = 0;
  bool locked = false, sounding = false;
};

void GridCell(Surface& s, int i, const Cell& cell) {
  const IntRect r = CellRect(i);
  const int L = r.left, T = r.top, R = r.right, B = r.bottom;
  const IntRect leftArrow{L + 18, T + 54, L + 39, T + 75}, rightArrow{L + 54, T + 54, L + 75, T + 75};
  if (!cell.name) {
    s.FillRectangle(kDark, leftArrow);
    s.FillRectangle(kDark, rightArrow);
    return;
  }
  if (cell.locked) s.FillRectangle(kBlue, {L + 2, T + 2, R - 2, B - 2});
  const IntRect label{L, T + 22, R, B};
  if (cell.sounding) {
    s.Text(17, true, kGreen, Align::kCentre, cell.name, label);
    s.DrawRectangle(kGreen, {L + 1, T + 1, R - 2, B - 2});
  } else {
    s.Text(17, true, cell.locked ? kLight : kGrey, Align::kCentre, cell.name, label);
  }
  const Pixel state = cell.sounding ? kGreen : cell.locked ? kLight : kNumberGrey;
  s.Text(16, false, state, Align::kCentre, std::to_string(cell.octave), {L + 40, T + 57, L + 56, T + 91});
  const IntRect inv{R - 21, T + 3, R - 6, T + 18};
  if (cell.inversion < 1)
    s.Text(14, false, cell.locked ? kLight : kNumberGrey, Align::kRight, "inv", inv);
  else
    s.Text(16, false, state, Align::kRight, std::to_string(cell.inversion), inv);
  if (!cell.locked && !cell.sounding) return;
  Pixel fill = kGreen, first = Argb(48, 168, 90), second = Argb(39, 79, 52);
  if (cell.sounding && cell.locked) first = Argb(39, 196, 136), second = Argb(13, 164, 194);
  if (!cell.sounding) fill = kLight, first = Argb(154, 213, 243), second = Argb(53, 170, 230);
  s.Triangle(fill, L + 23, T + 64, L + 34, T + 59, L + 34, T + 70);
  for (int k = 0; k <= 5; ++k) {
    const int x0 = L + 23, y0 = T + 59;
    s.Plot(first, x0 + 2 * k + 1, y0 + 5 - k);
    s.Plot(first, x0 + 2 * k + 1, y0 + 6 + k);
    s.Plot(second, x0 + 2 * k, y0 + 5 - k);
    s.Plot(second, x0 + 2 * k, y0 + 6 + k);
  }
  s.Triangle(fill, L + 59, T + 59, L + 59, T + 70, L + 70, T + 64);
  for (int k = 0; k <= 5; ++k) {
    const int x1 = L + 59, y1 = T + 59;
    s.Plot(first, x1 + 2 * k, y1 + k);
    s.Plot(first, x1 + 10 - 2 * k, y1 + 6 + k);
    s.Plot(second, x1 + 2 * k + 1, y1 + k);
    s.Plot(second, x1 + 11 - 2 * k, y1 + 6 + k);
  }
}

void Ring(Surface& s, int f, int e, Pixel main, Pixel outer, Pixel inner) {
  auto fill = [&](int x, int y, int w, int h) {
    for (int yy = y; yy < y + h; ++yy) {
      for (int xx = x; xx < x + w; ++xx) s.Plot(main, xx, yy);
    }
  };
  fill(f, e + 5, 4, 34), fill(f + 16, e + 5, 4, 34), fill(f + 5, e, 10, 4), fill(f + 5, e + 40, 10, 4);
  fill(f + 2, e + 2, 3, 3), fill(f + 15, e + 2, 3, 3), fill(f + 2, e + 39, 3, 3), fill(f + 15, e + 39, 3, 3);
  for (auto [x, y] : {std::pair{1, 4}, {1, 39}, {18, 4}, {18, 39}, {4, 1}, {15, 1}, {4, 42}, {15, 42}}) {
    s.Plot(main, f + x, e + y);
  }
  for (auto [x, y] :
       {std::pair{0, 5}, {1, 3},  {2, 2},  {3, 1},  {5, 0},  {14, 0},  {16, 1},  {17, 2},  {18, 3},  {19, 5},
        {0, 38},         {1, 40}, {2, 41}, {3, 42}, {5, 43}, {14, 43}, {16, 42}, {17, 41}, {18, 40}, {19, 38}}) {
    s.Plot(outer, f + x, e + y);
  }
  for (auto [x, y] : {std::pair{4, 5}, {5, 4}, {14, 4}, {15, 5}, {4, 38}, {5, 39}, {14, 39}, {15, 38}}) {
    s.Plot(inner, f + x, e + y);
  }
}

void Keyboard(Surface& s, const Strip& white, const Strip& black, const std::vector<int>& notes,
              const std::vector<int>& ringed) {
  auto marked = [&](int note) {
    for (int n : notes) {
      if (n == note) return true;
    }
    return false;
  };
  static constexpr int kStep[12] = {2, 2, 2, 3, 1, 2, 2, 2, 2, 2, 3, 1};
  static constexpr int kWhiteFrame[12] = {1, 0, 2, 0, 3, 1, 0, 4, 0, 5, 0, 3};
  static constexpr int kOffsets[12] = {0, 10, 20, 32, 40, 60, 73, 80, 94, 100, 115, 120};
  int x = kKeyboard.left;
  for (int k = 0; k < 36; k += kStep[k % 12], x += kKeyWidth) {
    if (marked(36 + k)) s.Frame(white, x, kKeyboard.top, kWhiteFrame[k % 12]);
  }
  int o = kKeyboard.left;
  for (int k = 1; k <= 36; k += kStep[k % 12]) {
    if (marked(36 + k)) s.Frame(black, o + kOffsets[k % 12], kKeyboard.top, 1);
    if (k % 12 == 10) o += kOctaveWidth;
  }
  static constexpr int kWhiteNumber[12] = {0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 6};
  static constexpr bool kIsBlack[12] = {false, true, false, true, false, false, true, false, true, false, true, false};
  for (int c : ringed) {
    const int a = kWhiteNumber[c];
    int f = kKeyboard.left + kKeyWidth * (a + 7);
    int e = kKeyboard.top + 45;
    Pixel main = Argb(105, 204, 255), outer = Argb(121, 194, 231), inner = Argb(68, 184, 244);
    if (kIsBlack[c]) {
      f -= 11;
      e = kKeyboard.top;
      main = Argb(0, 148, 224), outer = Argb(42, 137, 187), inner = Argb(0, 98, 148);
    }
    Ring(s, f, e, main, outer, inner);
    Ring(s, c < 5 ? f + kOctaveWidth : f - kOctaveWidth, e, main, outer, inner);
  }
}

void FilterEntries(Surface& s, const IntRect& box, const std::vector<const char*>& left,
                   const std::vector<const char*>& right) {
  const int y0 = box.top + 8, split = box.left + (box.right - box.left) / 2 + 8;
  auto column = [&](const std::vector<const char*>& names, int textLeft, int textRight, int markLeft, int markRight) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      const int y = y0 + 16 * int(i);
      s.Text(14, false, kGrey, Align::kLeft, names[i], {textLeft, y, textRight, y + 16});
      s.Line(kGrey, markLeft, y + 4, markRight, y + 10);
      s.Line(kGrey, markLeft, y + 10, markRight, y + 4);
    }
  };
  column(left, box.left + 6, split, split - 20, split - 14);
  column(right, split, box.right, box.right - 12, box.right - 6);
}

std::unique_ptr<MemBitmap> Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return bytes.empty() ? nullptr : DecodePng(bytes.data(), bytes.size());
}

}  // namespace

bool WritePreview(const std::string& dir, const std::string& path) {
  static const std::pair<const char*, int> kFiles[] = {{"bg.png", 1},
                                                       {"KEY_WHITE.png", 6},
                                                       {"KEY_BLACK.png", 1},
                                                       {"NEW_MELODY.png", 2},
                                                       {"Left.png", 2},
                                                       {"Right.png", 2},
                                                       {"Clear_Notes.png", 2},
                                                       {"Loose_Matches.png", 5},
                                                       {"Clear_Grid.png", 2},
                                                       {"Grid_Oct_Up.png", 2},
                                                       {"Grid_Oct_Down.png", 2},
                                                       {"inversion_control_0.png", 2},
                                                       {"inversion_control_1.png", 2},
                                                       {"inversion_control_2.png", 2},
                                                       {"inversion_control_3.png", 2},
                                                       {"inversion_control_4.png", 2},
                                                       {"inversion_control_5.png", 2},
                                                       {"RECORD.png", 2},
                                                       {"DRAG.png", 1},
                                                       {"DRAG_DIM.png", 1},
                                                       {"GRID_DRAG.png", 2}};
  std::map<std::string, Strip> strips;
  for (const auto& [file, frames] : kFiles) {
    Strip s;
    s.bitmap = Load(dir + "/" + file);
    s.frames = frames;
    if (!s.bitmap) return false;
    strips[file] = std::move(s);
  }
  auto strip = [&](const char* file) -> const Strip& { return strips.at(file); };

  constexpr int kGap = 12;
  MemBitmap out(kEditorWidth, 2 * kEditorHeight + kGap);
  FillRect(out, 0, 0, out.Width(), out.Height(), Argb(255, 255, 255), 1.0f, kBlendCopy);
  for (int panel = 0; panel < 2; ++panel) {
    const bool inUse = panel == 1;
    MemBitmap editor(kEditorWidth, kEditorHeight);
    FillRect(editor, 0, 0, kEditorWidth, kEditorHeight, 0, 1.0f, kBlendCopy);
    Surface s(editor);
    const int on = inUse ? 2 : 1;
    s.Frame(strip("bg.png"), 0, 0, 1);
    s.Frame(strip("Left.png"), kUndo.left, kUndo.top, on);
    s.Frame(strip("Right.png"), kRedo.left, kRedo.top, 1);
    s.Frame(strip("NEW_MELODY.png"), kRandomize.left, kRandomize.top, on);
    s.Text(16, true, kNumberGrey, Align::kCentre, inUse ? "maj" : "-", kScaleLabel);
    s.Text(16, true, kNumberGrey, Align::kCentre, inUse ? "C" : "-", kNoteLabel);
    if (inUse) {
      Keyboard(s, strip("KEY_WHITE.png"), strip("KEY_BLACK.png"), {48, 52, 55, 59, 60, 64, 42, 46, 54, 58}, {0, 7, 10});
      FilterEntries(s, kExclusions, {"C#/Db", "G#/Ab"}, {"dim", "7b5", "13b9"});
      FilterEntries(s, kInclusions, {"C", "F", "G"}, {"maj", "m7", "6add9", "sus4"});
    }
    s.Frame(strip("Clear_Notes.png"), kClearNotes.left, kClearNotes.top, on);
    s.Frame(strip("Clear_Grid.png"), kClearGrid.left, kClearGrid.top, 1);
    s.Frame(strip("Loose_Matches.png"), kDial.left, kDial.top, inUse ? 3 : 1);
    s.Frame(strip("Grid_Oct_Up.png"), kOctaveUp.left, kOctaveUp.top, on);
    s.Frame(strip("Grid_Oct_Down.png"), kOctaveDown.left, kOctaveDown.top, 1);
    for (int i = 0; i < 6; ++i) {
      const std::string file = "inversion_control_" + std::to_string(i) + ".png";
      s.Frame(strip(file.c_str()), kInversions[i].left, kInversions[i].top, inUse && i != 3 && i != 5 ? 2 : 1);
    }
    if (inUse) {
      const Cell cells[16] = {{"C maj", 0, 0},
                              {"A min", -1, 1},
                              {"F maj7", 0, 0, true},
                              {"G 7", 0, 0, false, true},
                              {"E m7", 1, 2, true, true},
                              {"D m9", 0, 0},
                              {},
                              {"B m7b5", 0, 0},
                              {"C 6add9", 2, 0},
                              {},
                              {"G sus4", 0, 1, true},
                              {},
                              {},
                              {"F# dim", -2, 0},
                              {},
                              {}};
      for (int i = 0; i < 16; ++i) GridCell(s, i, cells[i]);
      const char* names[14] = {"C maj", "C 6",   "C maj7", "C add9", "C maj9", "D min", "D m7",
                               "D m9",  "E min", "E m7",   "F maj",  "F maj7", "G 7",   "G 9sus4"};
      for (int i = 0; i < kRows; ++i) ListRow(s, i, i < 14 ? names[i] : nullptr, i == 2);
    } else {
      for (int i = 0; i < 16; ++i) GridCell(s, i, {});
      for (int i = 0; i < kRows; ++i) ListRow(s, i, nullptr, false);
    }
    s.Text(16, false, kNumberGrey, Align::kCentre, "0", kListNumber);
    s.Frame(strip("RECORD.png"), kRecord.left, kRecord.top, on);
    s.Frame(strip("DRAG_DIM.png"), kDrag.left, kDrag.top, 1);
    if (inUse) s.Frame(strip("DRAG.png"), kDrag.left, kDrag.top, 1);
    s.Frame(strip("GRID_DRAG.png"), kGridDrag.left, kGridDrag.top, inUse ? 1 : 2);
    Blit(out, editor, 0, panel * (kEditorHeight + kGap), 0, 0, kEditorWidth, kEditorHeight, 1.0f, kBlendCopy);
  }
  return WritePng(out, path, false);
}

}  // namespace velmora::artwork
