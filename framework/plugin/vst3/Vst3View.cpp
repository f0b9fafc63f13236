#include "framework/plugin/vst3/Vst3View.h"

#include <cstring>

#include "framework/plugin/vst3/Vst3Controller.h"

namespace velmora {

namespace {

using vst3::kResultFalse;
using vst3::kResultOk;
using vst3::kResultTrue;

// Before any editor is known: the size the editor is built at.
constexpr int kDefaultWidth = 964;
constexpr int kDefaultHeight = 709;

}  // namespace

Vst3View::Vst3View(Vst3Controller& controller) : mController(controller) {
  mController.addRef();
  mPump = MakeVst3PumpDriver([this] { Tick(); });
}

Vst3View::~Vst3View() {
  Detach();
  if (mFrame) mFrame->release();
  mController.ViewClosed(this);
  mController.release();
}

vst3::tresult Vst3View::queryInterface(const vst3::TUID iid, void** obj) {
  if (!obj) return vst3::kInvalidArgument;
  if (Offer<vst3::FUnknown>(static_cast<vst3::IPlugView*>(this), iid, obj) ||
      Offer<vst3::IPlugView>(this, iid, obj) || Offer<vst3::IPlugViewContentScaleSupport>(this, iid, obj))
    return kResultOk;
  *obj = nullptr;
  return vst3::kNoInterface;
}

vst3::uint32 Vst3View::addRef() { return mRefs.Add(); }

vst3::uint32 Vst3View::release() {
  const uint32_t count = mRefs.Drop();
  if (count == 0) delete this;
  return count;
}

vst3::tresult Vst3View::isPlatformTypeSupported(vst3::FIDString type) {
  return type && std::strcmp(type, Vst3WindowType()) == 0 ? kResultTrue : kResultFalse;
}

vst3::tresult Vst3View::attached(void* parent, vst3::FIDString type) {
  if (!parent || isPlatformTypeSupported(type) != kResultTrue) return kResultFalse;
  try {
    Detach();
    mParent = parent;
    if (!Open()) {
      mParent = nullptr;
      return kResultFalse;
    }
    mController.ViewOpened(this);
    return kResultTrue;
  } catch (...) {
    mParent = nullptr;
    return kResultFalse;
  }
}

vst3::tresult Vst3View::removed() {
  try {
    Detach();
  } catch (...) {
  }
  mController.ViewClosed(this);
  return kResultOk;
}

// The window, its fonts and pictures are made without the plug-in lock.
bool Vst3View::Open() {
  velmora::IPluginBase* plugin = mController.EditorPlugin();
  IEditorLink* editor = plugin ? plugin->Editor() : nullptr;
  if (!editor || !mParent || !editor->OpenWindow(mParent)) return false;
  mShown = plugin;
  {
    auto lock = plugin->Lock();
    plugin->OnEditorOpened();
  }
  StartPump();
  return true;
}

void Vst3View::Close() {
  StopPump();
  velmora::IPluginBase* plugin = mShown;
  mShown = nullptr;
  if (!plugin) return;
  {
    auto lock = plugin->Lock();
    plugin->OnEditorClosing();
  }
  // The window goes without the lock: processing never waits for it.
  if (IEditorLink* editor = plugin->Editor()) editor->CloseWindow();
}

void Vst3View::Reopen() {
  if (!mParent || mController.EditorPlugin() == mShown) return;
  Close();
  Open();
}

void Vst3View::Detach() {
  Close();
  mParent = nullptr;
}

// Timers and descriptors are the frame's: the pump runs between setFrame and
// setFrame(null), while a window is open.
void Vst3View::StartPump() {
  StopPump();
  if (!mShown || !mFrame) return;
  IEditorLink* editor = mShown->Editor();
  mDescriptor = editor ? editor->EventDescriptor() : -1;
  mPumping = mPump->Start(mFrame, mDescriptor);
}

void Vst3View::StopPump() {
  if (mPumping) mPump->Stop();
  mPumping = false;
  mDescriptor = -1;
}

void Vst3View::Tick() {
  if (!mShown) return;
  mController.Pump();
  // A lost server or a new window changes the descriptor worth watching.
  IEditorLink* editor = mShown ? mShown->Editor() : nullptr;
  if (editor && editor->EventDescriptor() != mDescriptor) StartPump();
}

vst3::ViewRect Vst3View::Size() const {
  velmora::IPluginBase* plugin = mController.EditorPlugin();
  IEditorLink* editor = plugin ? plugin->Editor() : nullptr;
  const int width = editor ? editor->Width() : kDefaultWidth;
  const int height = editor ? editor->Height() : kDefaultHeight;
  return vst3::ViewRect{0, 0, width, height};
}

vst3::tresult Vst3View::getSize(vst3::ViewRect* size) {
  if (!size) return vst3::kInvalidArgument;
  *size = Size();
  return kResultTrue;
}

// The editor's size, or the one it asked the frame for.
vst3::tresult Vst3View::onSize(vst3::ViewRect* newSize) {
  if (!newSize) return vst3::kInvalidArgument;
  const int width = newSize->right - newSize->left, height = newSize->bottom - newSize->top;
  if (mRequestedWidth > 0 && width == mRequestedWidth && height == mRequestedHeight) {
    mRequestedWidth = mRequestedHeight = 0;
    velmora::IPluginBase* plugin = mController.EditorPlugin();
    if (IEditorLink* editor = plugin ? plugin->Editor() : nullptr) editor->HostResized(width, height);
    return kResultTrue;
  }
  const vst3::ViewRect ours = Size();
  return newSize->right - newSize->left == ours.right && newSize->bottom - newSize->top == ours.bottom
             ? kResultTrue
             : kResultFalse;
}

vst3::tresult Vst3View::checkSizeConstraint(vst3::ViewRect* rect) {
  if (!rect) return vst3::kInvalidArgument;
  const vst3::ViewRect ours = Size();
  rect->right = rect->left + ours.right;
  rect->bottom = rect->top + ours.bottom;
  return kResultTrue;
}

vst3::tresult Vst3View::canResize() { return kResultFalse; }

// The keys stay the host's: the editor takes none.
vst3::tresult Vst3View::onKeyDown(vst3::char16, vst3::int16, vst3::int16) { return kResultFalse; }
vst3::tresult Vst3View::onKeyUp(vst3::char16, vst3::int16, vst3::int16) { return kResultFalse; }
vst3::tresult Vst3View::onWheel(float) { return kResultFalse; }
vst3::tresult Vst3View::onFocus(vst3::TBool) { return kResultOk; }

vst3::tresult Vst3View::setFrame(vst3::IPlugFrame* frame) {
  if (frame == mFrame) return kResultOk;
  StopPump();
  if (frame) frame->addRef();
  if (mFrame) mFrame->release();
  mFrame = frame;
  if (mShown) StartPump();
  return kResultOk;
}

vst3::tresult Vst3View::setContentScaleFactor(ScaleFactor factor) {
  velmora::IPluginBase* plugin = mController.EditorPlugin();
  IEditorLink* editor = plugin ? plugin->Editor() : nullptr;
  if (!editor) return kResultFalse;
  editor->SetHostScale(factor);
  return kResultTrue;
}

// A size other than the editor's is a request; a host that refuses leaves
// the editor whole at its old size.
void Vst3View::RequestSize(int width, int height) {
  velmora::IPluginBase* plugin = mController.EditorPlugin();
  IEditorLink* editor = plugin ? plugin->Editor() : nullptr;
  if (!editor || !mFrame || width <= 0 || height <= 0) return;
  if (width == editor->Width() && height == editor->Height()) return;
  mRequestedWidth = width;
  mRequestedHeight = height;
  vst3::ViewRect rect{0, 0, width, height};
  if (mFrame->resizeView(this, &rect) != kResultTrue) mRequestedWidth = mRequestedHeight = 0;
}

}  // namespace velmora
