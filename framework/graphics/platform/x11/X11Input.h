#pragma once

#include <chrono>

#include "framework/graphics/GraphicsTypes.h"

namespace velmora::x11 {

// X's key-and-button state bits, repeated here so that this logic builds and
// is tested without Xlib (the window code checks them against X.h).
enum StateBit : unsigned {
  kShiftBit = 1u << 0,
  kControlBit = 1u << 2,
  kAltBit = 1u << 3,  // Mod1
  kButton1Bit = 1u << 8,
  kButton2Bit = 1u << 9,
  kButton3Bit = 1u << 10,
};

// X reports the state from before the event: a press does not show its own
// button yet and a release still shows it, so both are corrected here.
MouseMods PressMods(unsigned state, unsigned button);
MouseMods ReleaseMods(unsigned state, unsigned button);
MouseMods MotionMods(unsigned state);

// One notch per press of button 4 (away from the user, +1) or 5 (-1); 0
// for every other button.
int WheelNotches(unsigned button);
// Whether state holds a button among 1..3 other than this one.
bool OtherButtonsHeld(unsigned state, unsigned button);

// X has no double click: a second press of the left button soon after the
// first and at nearly the same place makes one, as desktop toolkits do.
class ClickTracker {
 public:
  static constexpr unsigned long kIntervalMs = 400;
  static constexpr int kSlop = 4;

  // time is the server's millisecond clock, which wraps at 2^32. True when
  // this press completes a double click; the press after it starts afresh.
  bool Press(unsigned button, unsigned long time, int x, int y);
  void Reset() { mArmed = false; }

 private:
  bool mArmed = false;
  unsigned long mTime = 0;
  int mX = 0, mY = 0;
};

// When the idle calls run the redraw step: at once on the first, then on a
// fixed cadence of one period rather than a period after the last step. A
// host idling every 40 ms jitters around the period and would otherwise miss
// every other step; one idling without pause still gets one step a period.
// After a pause the cadence starts afresh instead of catching up in a burst.
class RedrawCadence {
 public:
  using Clock = std::chrono::steady_clock;

  explicit RedrawCadence(std::chrono::milliseconds period) : mPeriod(period) {}
  // Whether an idle call at now runs the step.
  bool Due(Clock::time_point now);

 private:
  std::chrono::milliseconds mPeriod;
  bool mStarted = false;
  Clock::time_point mNext;
};

}  // namespace velmora::x11
