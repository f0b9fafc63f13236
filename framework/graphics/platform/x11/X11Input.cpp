#include "framework/graphics/platform/x11/X11Input.h"

#include <cstdlib>

namespace velmora::x11 {

namespace {

unsigned ButtonBit(unsigned button) {
  switch (button) {
    case 1: return kButton1Bit;
    case 2: return kButton2Bit;
    case 3: return kButton3Bit;
    default: return 0;
  }
}

}  // namespace

MouseMods MotionMods(unsigned state) {
  return MouseMods((state & kButton1Bit) != 0, (state & kButton3Bit) != 0, (state & kShiftBit) != 0,
                   (state & kControlBit) != 0, (state & kAltBit) != 0);
}

MouseMods PressMods(unsigned state, unsigned button) { return MotionMods(state | ButtonBit(button)); }

MouseMods ReleaseMods(unsigned state, unsigned button) { return MotionMods(state & ~ButtonBit(button)); }

int WheelNotches(unsigned button) { return button == 4 ? 1 : button == 5 ? -1 : 0; }

bool OtherButtonsHeld(unsigned state, unsigned button) {
  return (state & (kButton1Bit | kButton2Bit | kButton3Bit) & ~ButtonBit(button)) != 0;
}

bool ClickTracker::Press(unsigned button, unsigned long time, int x, int y) {
  if (button != 1) {
    mArmed = false;
    return false;
  }
  const unsigned long elapsed = (time - mTime) & 0xffffffffUL;
  if (mArmed && elapsed <= kIntervalMs && std::abs(x - mX) <= kSlop && std::abs(y - mY) <= kSlop) {
    mArmed = false;
    return true;
  }
  mArmed = true;
  mTime = time;
  mX = x;
  mY = y;
  return false;
}

bool RedrawCadence::Due(Clock::time_point now) {
  if (mStarted && now < mNext) return false;
  const bool onCadence = mStarted && now - mNext < mPeriod;
  mNext = onCadence ? mNext + mPeriod : now + mPeriod;
  mStarted = true;
  return true;
}

}  // namespace velmora::x11
