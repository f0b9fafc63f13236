#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/artwork/Canvas.h"
#include "tools/artwork/Layout.h"

namespace velmora::artwork {

// The panel's own colours, around the ones the controls paint with.
namespace palette {
constexpr Colour kPanelTop = Rgb(29, 29, 26);
constexpr Colour kPanelBottom = Rgb(21, 21, 19);
constexpr Colour kPlate = Rgb(15, 15, 13);  // behind the keys, the grid and the list
constexpr Colour kPlateEdge = Rgb(46, 46, 41);
constexpr Colour kWellEdge = Rgb(54, 54, 48);
constexpr Colour kButtonTop = Rgb(66, 66, 60);
constexpr Colour kButtonBottom = Rgb(47, 47, 43);
constexpr Colour kButtonEdge = Rgb(82, 82, 74);
constexpr Colour kPressedTop = Rgb(0, 104, 160);
constexpr Colour kPressedBottom = Rgb(0, 128, 196);
constexpr Colour kCaption = Rgb(156, 156, 146);
// Small print that tells the user something: 4.5:1 on the panel and the wells.
constexpr Colour kHint = Rgb(142, 142, 134);
constexpr Colour kArrow = Rgb(228, 228, 220);
constexpr Colour kWhiteKeyTop = Rgb(232, 230, 222);
constexpr Colour kWhiteKeyBottom = Rgb(204, 202, 194);
// Dark enough that the blue ring of a black key stands out at 3:1.
constexpr Colour kBlackKeyTop = Rgb(44, 44, 41);
constexpr Colour kBlackKeyBottom = Rgb(22, 22, 20);
// Marked keys. Each sits under the ring of its row at 3:1 or more: the
// white ring (105, 204, 255) on the white block, the black ring
// (0, 148, 224) on the black one.
constexpr Colour kMarkedWhiteTop = Rgb(0, 96, 218);
constexpr Colour kMarkedWhiteBottom = Rgb(0, 84, 206);
constexpr Colour kMarkedBlackTop = Rgb(0, 60, 118);
constexpr Colour kMarkedBlackBottom = Rgb(0, 46, 98);
constexpr Colour kMarkedBlackLip = Rgb(0, 148, 224);
}  // namespace palette

// Fonts of the panel's own words (the controls draw theirs themselves).
constexpr Font kCaptionFont{13, true};
constexpr Font kSmallFont{12, false};
constexpr Font kButtonFont{14, true};
// The C on the two C keys; the keyboard control draws the same on a marked C.
constexpr Font kLandmarkFont{11, true};
constexpr int kLandmarkTop = 148;

// How far below the text's top its capital letters are centred, and the top
// that centres them on centreY.
double CapCentre(const Font& font);
int TopForCentre(const Font& font, double centreY);

// Shared pieces.
void DrawRaisedButton(Canvas& c, double x0, double y0, double x1, double y1, double radius, bool pressed);
void DrawWell(Canvas& c, double x0, double y0, double x1, double y1, double radius, const Colour& fill);
Shape LeftTriangle(double x0, double y0, double x1, double y1);   // tip at the left, in this box
Shape RightTriangle(double x0, double y0, double x1, double y1);  // tip at the right

// The loose-matches dial: its centre in a frame, its track's radius, and
// the angle of each position (0 = off .. 4; 0 = up, clockwise).
constexpr double kDialCentreX = 50, kDialCentreY = 54, kDialTrack = 36;
double DialAngle(int position);

void DrawBackground(Canvas& c);

struct Picture {
  int id = 0;
  std::string file;  // relative to resources/img
  int frames = 1;
  bool alpha = true;
  std::unique_ptr<Canvas> image;
};

// Every picture but the background, which the opaque ones are cut from.
std::vector<Picture> MakePictures(const Canvas& background);

// The editor as it looks idle and in use, built from the PNG files in dir.
bool WritePreview(const std::string& dir, const std::string& path);

}  // namespace velmora::artwork
