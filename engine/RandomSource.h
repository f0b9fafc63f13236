#pragma once

#include <cstdint>

namespace velmora {

// The C runtime's rand() contract: values 0..32767 from the classic linear
// congruential step, so a seed reproduces the same sequence on every platform.
class RandomSource {
 public:
  static constexpr int kMaxValue = 32767;

  explicit RandomSource(unsigned seed = 1) : mState(seed) {}

  void Seed(unsigned seed) { mState = seed; }

  int Next() {
    mState = mState * 214013u + 2531011u;
    return static_cast<int>((mState >> 16) & 0x7FFFu);
  }

  // A random index below n (n > 0), as rand() % n.
  int IndexBelow(int n) { return Next() % n; }

 private:
  std::uint32_t mState;
};

}  // namespace velmora
