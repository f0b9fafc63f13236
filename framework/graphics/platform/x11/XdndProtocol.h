#pragma once

#include <chrono>

namespace velmora::x11 {

// The parts of the XDND source's protocol that need no display.
struct Xdnd {
  static constexpr long kVersion = 5;
  static constexpr long kOldestVersion = 3;

  // The version both sides speak, 0 when the target's is too old to talk to.
  static long Negotiate(long targetVersion) {
    if (targetVersion < kOldestVersion) return 0;
    return targetVersion < kVersion ? targetVersion : kVersion;
  }
  // XdndEnter's second field: the version in the high byte, bit 0 when the
  // types are too many to go inline (the target then reads XdndTypeList).
  static long EnterFlags(long version, int typeCount) { return (version << 24) | (typeCount > 3 ? 1 : 0); }
  // XdndPosition's root point.
  static long PackPoint(int x, int y) { return (long(x & 0xffff) << 16) | long(y & 0xffff); }
};

// When the source repeats positions and when it gives up. Some targets
// refuse the first positions they see, so a target that has not accepted yet
// hears the position again while the pointer rests on it, and a release
// over it keeps the drag alive until it had a fair chance to accept.
struct XdndTiming {
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kRepeat{50};
  // A target that never answers a position does not stall the drag.
  static constexpr std::chrono::milliseconds kStatusTimeout{1000};
  static constexpr std::chrono::milliseconds kMinHover{500};
  static constexpr std::chrono::milliseconds kAfterRelease{250};
  static constexpr std::chrono::milliseconds kFinishTimeout{5000};

  // Whether to send the position again to a target that is not waiting to answer.
  static bool Repeat(bool accepted, Clock::time_point lastSent, Clock::time_point now) {
    return !accepted && now - lastSent >= kRepeat;
  }
  // Whether a release over a target that still refuses ends the drag unused.
  static bool GiveUp(Clock::time_point entered, Clock::time_point released, Clock::time_point now) {
    return now >= entered + kMinHover && now >= released + kAfterRelease;
  }
};

}  // namespace velmora::x11
