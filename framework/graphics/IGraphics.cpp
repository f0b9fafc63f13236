// Control list, parameter flow, redraw protocol and event routing.
#include "framework/graphics/IGraphics.h"

#include <algorithm>

#include "framework/plugin/Contracts.h"
#include "framework/plugin/IPluginBase.h"

namespace velmora {

namespace {

int ClampToInt(int64_t v) { return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

IGraphics::IGraphics(IPluginBase* plugin, int width, int height, int fps)
    : mPlugin(plugin),
      mWidth(width),
      mHeight(height),
      mFPS(fps),
      mMailbox(plugin ? plugin->NParams() : 0),
      mOwnerThread(std::this_thread::get_id()) {}

IGraphics::~IGraphics() {
  mKeyCatcher.reset();
  mControls.clear();
  mDrawBitmap.reset();
  mTmpBitmap.reset();
}

int IGraphics::AddControl(std::unique_ptr<IControl> control) {
  if (!control) return -1;
  control->SetGUI(this);
  mControls.push_back(std::move(control));
  return NControls() - 1;
}

IControl* IGraphics::GetControl(int index) const {
  if (index < 0 || index >= NControls()) return nullptr;
  return mControls[std::size_t(index)].get();
}

void IGraphics::SetKeyCatcher(std::unique_ptr<IControl> control) {
  if (control) control->SetGUI(this);
  mKeyCatcher = std::move(control);
}

// --- parameters

void IGraphics::ExpectEditorThread() const {
  VELMORA_EXPECT(OnOwnerThread(), "an editor entry ran off the editor's thread");
}

void IGraphics::DropPostedValue(int index) {
  if (mPlugin) mPlugin->Mutex().AssertHeld();
  mMailbox.Cancel(index);
}

bool IGraphics::IsWindowThread() const { return mWindowOpened.load() && OnOwnerThread(); }

void IGraphics::SetParamFromPlugin(int index, double value, bool normalized) {
  if (!normalized) {
    const Param* param = mPlugin ? mPlugin->GetParam(index) : nullptr;
    if (!param) return;
    value = param->ToNormalized(value);
  }
  if (OnOwnerThread()) {
    mMailbox.Cancel(index);
    ApplyParamValue(index, value);
  } else {
    mMailbox.Post(index, value);
  }
}

void IGraphics::ApplyParamValue(int index, double value) {
  for (const auto& control : mControls) {
    if (control->ParamIdx() == index) control->ValueFromPlugin(value);
    for (int i = 0; i < control->NAuxParams(); ++i) {
      if (control->GetAuxParam(i)->paramIdx == index) {
        control->AuxValueFromPlugin(i, value);
        break;
      }
    }
  }
}

void IGraphics::DrainParamValues(bool blocking) {
  ExpectEditorThread();
  mMailbox.Drain([this](int index, double value) { ApplyParamValue(index, value); });
  if (mSync) mSync->SyncFromPlugin(blocking);
}

// --- redraw

bool IGraphics::FindDirtyArea(Rect& rect) {
  rect = Rect();
  bool dirty = false;
  for (const auto& control : mControls) {
    if (!control->NeedsRepaint()) continue;
    rect = Union(rect, control->GetRect());
    dirty = true;
  }
  return dirty;
}

bool IGraphics::DrawArea(const Rect& rect) {
  ExpectEditorThread();
  if (mControls.empty()) return true;
  UpdateSurfaces();
  if (mStrict) DrawAreaStrict(rect);
  else DrawAreaLoose(rect);
  PaintToWindow(ToPhysical(rect));
  return true;
}

bool IGraphics::DrawAreaStrict(const Rect& rect) {
  mDrawRect = rect;
  for (const auto& control : mControls) {
    const Rect& r = control->GetRect();
    // Inclusive on the area's right and bottom edges, as controls have always been drawn.
    if (!control->IsHidden() && !rect.Empty() && !r.Empty() && r.left <= rect.right && r.right > rect.left &&
        r.top <= rect.bottom && r.bottom > rect.top) {
      control->Draw(*this);
    }
    control->MarkClean();
  }
  return true;
}

bool IGraphics::DrawAreaLoose(const Rect&) {
  IControl& background = *mControls.front();
  if (background.IsDirty()) {
    mDrawRect = background.GetRect();
    for (std::size_t i = 0; i < mControls.size(); ++i) {
      IControl& control = *mControls[i];
      if (i != 0 && control.IsHidden()) continue;
      control.Draw(*this);
      control.MarkClean();
    }
    return true;
  }
  for (std::size_t i = 1; i < mControls.size(); ++i) {
    IControl& dirty = *mControls[i];
    if (!dirty.IsDirty()) continue;
    mDrawRect = dirty.GetRect();
    for (std::size_t j = 0; j < mControls.size(); ++j) {
      IControl& other = *mControls[j];
      if (other.IsHidden()) continue;
      const Rect& r = other.GetRect();
      if (j == i || (!r.Empty() && r.right >= mDrawRect.left && r.left < mDrawRect.right &&
                     r.bottom >= mDrawRect.top && r.top < mDrawRect.bottom)) {
        other.Draw(*this);
      }
    }
    dirty.MarkClean();
  }
  return true;
}

bool IGraphics::OnTimerTick() {
  UpdateSurfaces();
  DrainParamValues(false);
  Rect dirty;
  if (!FindDirtyArea(dirty)) return false;
  return DrawArea(dirty);
}

// --- hit testing and events

int IGraphics::ControlAt(int x, int y, bool forMouseOver) {
  for (int i = NControls() - 1; i >= 0; --i) {
    IControl& control = *mControls[std::size_t(i)];
    if (control.IsHidden()) continue;
    if (control.IsGrayed() && !(forMouseOver && control.MouseOverWhenGrayed())) continue;
    if (control.HitTest(x, y)) return i;
  }
  return -1;
}

void IGraphics::ReleaseMouseCapture() {
  mMouseCapture = -1;
  mMouseX = mMouseY = -1;
}

void IGraphics::LoseMouseCapture() {
  IControl* holder = GetControl(mMouseCapture);
  ReleaseMouseCapture();
  if (holder) holder->MouseCaptureLost();
}

void IGraphics::OnMouseDown(int windowX, int windowY, const MouseMods& mods) {
  ExpectEditorThread();
  const int x = LayoutX(windowX), y = LayoutY(windowY);
  DrainParamValues();
  // A press while another is held (a right click during a drag) ends it.
  LoseMouseCapture();
  const int c = ControlAt(x, y, false);
  mLastPressed = c;
  if (c < 0) return;
  IControl* control = GetControl(c);
  const int paramIdx = control->ParamIdx();
  mMouseCapture = c;
  mMouseX = x;
  mMouseY = y;
  if (paramIdx >= 0) BeginEdit(paramIdx);
  control->MouseDown(x, y, mods);
  // A menu or a drag ran inside and took the release with the capture.
  if (mMouseCapture != c) EndEdit();
}

void IGraphics::OnMouseUp(int windowX, int windowY, const MouseMods& mods) {
  ExpectEditorThread();
  const int x = LayoutX(windowX), y = LayoutY(windowY);
  DrainParamValues();
  const int c = mMouseCapture >= 0 ? mMouseCapture : ControlAt(x, y, false);
  ReleaseMouseCapture();
  IControl* control = GetControl(c);
  if (!control) return;
  control->MouseUp(x, y, mods);
  EndEdit();
}

void IGraphics::OnMouseDrag(int windowX, int windowY, const MouseMods& mods) {
  ExpectEditorThread();
  const int x = LayoutX(windowX), y = LayoutY(windowY);
  IControl* control = GetControl(mMouseCapture);
  if (!control || (x == mMouseX && y == mMouseY)) return;
  DrainParamValues();
  const int dx = ClampToInt(int64_t(x) - mMouseX);
  const int dy = ClampToInt(int64_t(y) - mMouseY);
  mMouseX = x;
  mMouseY = y;
  control->MouseDrag(x, y, dx, dy, mods);
}

bool IGraphics::OnMouseDoubleClick(int windowX, int windowY, const MouseMods& mods) {
  ExpectEditorThread();
  const int x = LayoutX(windowX), y = LayoutY(windowY);
  DrainParamValues();
  LoseMouseCapture();
  const int c = ControlAt(x, y, false);
  mLastPressed = c;
  IControl* control = GetControl(c);
  if (!control) return false;
  // The release that follows ends an edit, so the double click begins one.
  const int paramIdx = control->ParamIdx();
  if (paramIdx >= 0) BeginEdit(paramIdx);
  if (!control->DoubleClickAsPress()) {
    control->MouseDoubleClick(x, y, mods);
    return false;
  }
  mMouseCapture = c;
  mMouseX = x;
  mMouseY = y;
  control->MouseDown(x, y, mods);
  return true;
}

void IGraphics::OnMouseWheel(int windowX, int windowY, const MouseMods& mods, float delta) {
  ExpectEditorThread();
  const int x = LayoutX(windowX), y = LayoutY(windowY);
  DrainParamValues();
  const int c = mMouseCapture >= 0 ? mMouseCapture : ControlAt(x, y, false);
  if (IControl* control = GetControl(c)) control->MouseWheel(x, y, mods, delta);
}

bool IGraphics::OnKeyDown(int windowX, int windowY, int key) {
  ExpectEditorThread();
  const int x = LayoutX(windowX), y = LayoutY(windowY);
  DrainParamValues();
  const int c = mMouseCapture >= 0 ? mMouseCapture : ControlAt(x, y, false);
  if (c <= 0) return mKeyCatcher ? mKeyCatcher->KeyDown(x, y, key) : false;
  IControl* control = GetControl(c);
  return control ? control->KeyDown(x, y, key) : false;
}

bool IGraphics::OnMouseOver(int windowX, int windowY, const MouseMods& mods) {
  ExpectEditorThread();
  if (!mHandleMouseOver) return false;
  const int x = LayoutX(windowX), y = LayoutY(windowY);
  const int c = mMouseCapture >= 0 ? mMouseCapture : ControlAt(x, y, true);
  IControl* control = GetControl(c);
  if (!control) return true;
  mMouseX = x;
  mMouseY = y;
  control->MouseOver(x, y, mods);
  if (mMouseOver != c) {
    if (IControl* previous = GetControl(mMouseOver)) previous->MouseOut();
  }
  mMouseOver = c;
  return true;
}

void IGraphics::OnMouseOut() {
  ExpectEditorThread();
  for (const auto& control : mControls) control->MouseOut();
  mMouseOver = -1;
}

void IGraphics::BeginEdit(int paramIdx) {
  EndEdit();
  if (!mPlugin) return;
  mEditParam = paramIdx;
  mPlugin->BeginParamEdit(paramIdx);
}

void IGraphics::EndEdit() {
  const int paramIdx = mEditParam;
  mEditParam = -1;
  if (paramIdx >= 0 && mPlugin) mPlugin->EndParamEdit(paramIdx);
}

void IGraphics::AbandonPress() {
  LoseMouseCapture();
  EndEdit();
}

void IGraphics::OnWindowOpening() {
  SetOwnerThread(std::this_thread::get_id());
  mWindowOpened.store(true);
  UpdateSurfaces();
  DrainParamValues();
  for (const auto& control : mControls) control->MarkDirty(false);
}

}  // namespace velmora
