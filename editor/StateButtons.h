#pragma once

#include <cstdint>

#include "framework/graphics/Controls.h"

namespace velmora {

// A momentary button that is drawn dimmed while pressing it would do
// nothing: undo with no step left to undo, redo at the newest grid. It is
// still pressed and reported like any button.
//
// Threads: the editor's thread only; the editor's sync tells it whether it
// can act.
class DimmableContactControl : public IContactControl {
 public:
  using IContactControl::IContactControl;

  void SetAvailable(bool available);
  bool IsAvailable() const { return mAvailable; }
  bool Draw(IGraphics& graphics) override;

 private:
  bool mAvailable = true;
};

// The record switch. Armed it shows its lit frame; while a take is being
// captured (Record armed, the host's transport running) the dot blinks.
//
// Threads: the editor's thread only; the editor's sync tells it whether a
// take is being captured and what time it is.
class RecordSwitchControl : public ISwitchControl {
 public:
  static constexpr int64_t kBlinkMs = 500;  // lit, then dark, as long again

  using ISwitchControl::ISwitchControl;

  void ShowCapturing(bool capturing, int64_t nowMs);
  bool IsCapturing() const { return mCapturing; }
  bool Draw(IGraphics& graphics) override;
  bool NeedsRepaint() override;

 private:
  bool Lit() const;

  bool mCapturing = false;
  int64_t mNowMs = 0;
  bool mDrawnLit = false;
};

}  // namespace velmora
