#pragma once

// Where the editor's controls sit and what they draw by themselves. The
// background has to line up with every one of them, so the numbers are the
// controls' own (right and bottom exclusive).

#include "tools/artwork/Canvas.h"

namespace velmora::artwork {

struct IntRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

constexpr int kEditorWidth = 964;
constexpr int kEditorHeight = 709;

// Colours the controls paint with.
constexpr Colour kEmptyDark = Rgb(34, 34, 30);     // empty list rows and grid cells
constexpr Colour kLabelGrey = Rgb(211, 211, 211);  // chord names, filter entries
constexpr Colour kTextGrey = Rgb(204, 204, 204);   // octave numbers, scale labels
constexpr Colour kSounding = Rgb(52, 211, 108);
constexpr Colour kLockedBlue = Rgb(0, 148, 224);
constexpr Colour kLightBlue = Rgb(204, 234, 249);

// Options menu hot area.
constexpr IntRect kMenu{0, 0, 46, 42};

// Keyboard: key k's white block at x = left + 21 * (white-key number), the
// black blocks at the octave offsets; both 20 x 44.
constexpr IntRect kKeyboard{86, 74, 548, 163};
constexpr int kKeyWidth = 21;
constexpr int kKeyBlock = 20;
constexpr int kKeyHeight = 44;
constexpr int kBlackRowTop = 74;
constexpr int kWhiteRowTop = 119;
constexpr int kOctaveWidth = 147;
// A black key's body inside its 21-pixel box: the hole of its ring.
constexpr int kBlackKeyInset = 4;
constexpr int kBlackKeyWidth = 12;
constexpr int kBlackOffsets[5] = {10, 32, 73, 94, 115};  // C#, D#, F#, G#, A#
// The background shows F (white number 3 of the first octave) to E of the
// third: 14 white keys; black keys F#..A#, C#, D#, F#..A#, C#, D#.
constexpr int kFirstWhite = 3;
constexpr int kWhiteCount = 14;
int WhiteKeyLeft(int index);  // index 0..13, F first
int BlackKeyLeft(int index);  // index 0..9, F# first

// Scale selector and the labels it draws.
constexpr IntRect kScaleBox{240, 184, 347, 234};
constexpr int kScaleSplit = 277;                   // root area | scale area
constexpr IntRect kNoteLabel{244, 201, 280, 253};  // centred, from the top
constexpr IntRect kScaleLabel{273, 201, 346, 253};

constexpr IntRect kClearNotes{349, 171, 433, 230};
constexpr IntRect kDial{487, 83, 587, 186};
constexpr IntRect kInversions[6] = {{469, 223, 489, 243}, {489, 223, 510, 243}, {510, 223, 531, 243},
                                    {531, 223, 551, 243}, {551, 223, 571, 243}, {572, 223, 594, 243}};
constexpr IntRect kUndo{9, 250, 66, 308};
constexpr IntRect kRedo{56, 250, 113, 308};

// Grid: cell i at L = 17 + (i mod 4) * 94, T = 316 + (3 - i div 4) * 94.
constexpr IntRect kGrid{17, 316, 393, 692};
constexpr int kCell = 94;
IntRect CellRect(int i);
// The grid's drag handle, after the "chord grid" caption.
constexpr IntRect kGridDrag{204, 289, 224, 309};

constexpr IntRect kRandomize{405, 300, 483, 615};
constexpr IntRect kClearGrid{405, 609, 483, 657};
constexpr IntRect kOctaveDown{414, 668, 443, 697};
constexpr IntRect kOctaveUp{445, 668, 474, 697};

// Filter boxes and the root/type popups under them.
constexpr IntRect kInclusions{491, 322, 606, 462};
constexpr IntRect kExclusions{491, 520, 606, 660};
constexpr IntRect kInclusionPopup{491, 468, 609, 501};
constexpr IntRect kExclusionPopup{491, 666, 609, 699};
constexpr int kPopupRootRight = 550;  // root area x 491..549
constexpr int kPopupTypeLeft = 552;   // type area x 552..608

// Chord list: row i at (626, 7 + 33i, 955, 40 + 33i); the row paints its
// inner rectangle (L - 1, T + 2, R - 2, B - 2), outline included.
constexpr int kRows = 20;
IntRect RowRect(int i);
IntRect RowInner(int i);  // (625, T + 2, 954, T + 32): the fill and its outline
constexpr IntRect kListOctave{626, 667, 955, 700};
constexpr IntRect kListLeftArrow{690, 673, 711, 694};
constexpr IntRect kListRightArrow{726, 673, 747, 694};
constexpr IntRect kListNumber{714, 676, 726, 697};
constexpr IntRect kRecord{926, 673, 948, 693};
constexpr IntRect kDrag{874, 675, 910, 692};

}  // namespace velmora::artwork
