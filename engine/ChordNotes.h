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
  bool push_back(int note) {
    if (count_ >= kCapacity) return false;
    notes_[count_++] = note;
    return true;
  }
  void clear() { count_ = 0; }
  // Removes the lowest-indexed note, keeping the order of the rest.
  void pop_front();

  std::size_t size() const { return static_cast<std::size_t>(count_); }
  bool empty() const { return count_ == 0; }
  const int* begin() const { return notes_.data(); }
  const int* end() const { return notes_.data() + count_; }
  int operator[](std::size_t i) const { return notes_[i]; }
  int front() const { return notes_[0]; }
  int back() const { return notes_[static_cast<std::size_t>(count_ - 1)]; }
  bool contains(int note) const;

  bool operator==(const ChordNotes& other) const;
  bool operator!=(const ChordNotes& other) const { return !(*this == other); }

 private:
  std::array<int, kCapacity> notes_{};
  int count_ = 0;
};

// A chord's notes shifted by octaves and rotated by inversions.
using Voicing = ChordNotes;

// "{60, 64, 67}", for test failure messages.
std::ostream& operator<<(std::ostream& out, const ChordNotes& notes);

}  // namespace velmora
