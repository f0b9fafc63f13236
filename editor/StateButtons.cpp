#include "editor/StateButtons.h"

#include "framework/graphics/IGraphics.h"

namespace velmora {
namespace {

// Dimmed as the octave switches' second frames are: a third of the button.
const ChannelBlend kDimmed(ChannelBlend::kNone, 0.35f);

}  // namespace

void DimmableContactControl::SetAvailable(bool available) {
  if (available == mAvailable) return;
  mAvailable = available;
  MarkDirty(false);
}

bool DimmableContactControl::Draw(IGraphics& graphics) {
  // A press still shows, so the button answers the hand even when idle.
  if (mAvailable || mValue > 0.5) return IContactControl::Draw(graphics);
  graphics.DrawImageFrame(mBitmap, mRect, 1, &kDimmed);
  return true;
}

void RecordSwitchControl::ShowCapturing(bool capturing, int64_t nowMs) {
  mCapturing = capturing;
  mNowMs = nowMs;
}

bool RecordSwitchControl::Lit() const {
  if (mValue < 0.5) return false;
  return !mCapturing || (mNowMs / kBlinkMs) % 2 == 0;
}

bool RecordSwitchControl::NeedsRepaint() { return IsDirty() || Lit() != mDrawnLit; }

bool RecordSwitchControl::Draw(IGraphics& graphics) {
  mDrawnLit = Lit();
  graphics.DrawImageFrame(mBitmap, mRect, mDrawnLit ? 2 : 1, &mBlend);
  return true;
}

}  // namespace velmora
