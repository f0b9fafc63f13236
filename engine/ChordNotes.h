#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <iosfwd>

namespace velmora {

// The MIDI notes of a chord, or of one voicing of it, held inline: no chord
// type has more than six notes, so copying, comparing and voicing a chord
// never allocates (the processing thread does all three). Notes past the
// sixth are dropped.
class ChordNotes {
 public:
  static constexpr int kCapacity = 6;

  ChordNotes() = default;
  ChordNotes(std::initializer_list<int> notes) {
    for (int n : notes) push_back(n);
  }

  // False when full: the note is dropped.
  bool push_back(int note) {  // NOLINT(readability-identifier-naming)
    if (mCount >= kCapacity) return false;
    mNotes[mCount++] = note;
    return true;
  }
  void clear() { mCount = 0; }  // NOLINT(readability-identifier-naming)
  // Removes the lowest-indexed note, keeping the order of the rest.
  void pop_front();  // NOLINT(readability-identifier-naming)

  std::size_t size() const { return static_cast<std::size_t>(mCount); }  // NOLINT(readability-identifier-naming)
  bool empty() const { return mCount == 0; }  // NOLINT(readability-identifier-naming)
  const int* begin() const { return mNotes.data(); }  // NOLINT(readability-identifier-naming)
  const int* end() const { return mNotes.data() + mCount; }  // NOLINT(readability-identifier-naming)
  int operator[](std::size_t i) const { return mNotes[i]; }
  int front() const { return mNotes[0]; }  // NOLINT(readability-identifier-naming)
  int back() const { return mNotes[static_cast<std::size_t>(mCount - 1)]; }  // NOLINT(readability-identifier-naming)
  bool contains(int note) const;  // NOLINT(readability-identifier-naming)

  bool operator==(const ChordNotes& other) const;
  bool operator!=(const ChordNotes& other) const { return !(*this == other); }

 private:
  std::array<int, kCapacity> mNotes{};
  int mCount = 0;
};

// A chord's notes shifted by octaves and rotated by inversions.
using Voicing = ChordNotes;

// "{60, 64, 67}", for test failure messages.
std::ostream& operator<<(std::ostream& out, const ChordNotes& notes);

}  // namespace velmora
