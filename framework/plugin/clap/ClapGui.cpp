// The gui, timer-support and posix-fd-support extensions of IPluginClap:
// the editor embedded in the host's window at its one size, its pump run
// from the host's timer and, where the window's events come through a
// descriptor, as soon as that descriptor is readable.
#include <cstring>

#include "framework/plugin/clap/ClapExtensions.h"
#include "framework/plugin/clap/IPluginClap.h"

namespace velmora {

namespace {

bool SupportedApi(const char* api, bool floating) {
  return !floating && api && std::strcmp(api, ClapWindowApi()) == 0;
}

}  // namespace

struct ClapGuiEntries {
  static bool CLAP_ABI IsApiSupported(const clap_plugin_t* plugin, const char* api, bool floating) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    return self && self->Plugin().Editor() && SupportedApi(api, floating);
  }

  static bool CLAP_ABI PreferredApi(const clap_plugin_t* plugin, const char** api, bool* floating) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    if (!self || !self->Plugin().Editor() || !api || !floating) return false;
    *api = ClapWindowApi();
    *floating = false;
    return true;
  }

  static bool CLAP_ABI Create(const clap_plugin_t* plugin, const char* api, bool floating) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      return self && self->CreateGui(api, floating);
    } catch (...) {
      return false;
    }
  }

  static void CLAP_ABI Destroy(const clap_plugin_t* plugin) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      if (self) self->DestroyGui();
    } catch (...) {
    }
  }

  // x11 and win32 are physical-pixel interfaces: the editor draws at the
  // host's scale and answers its size in physical pixels.
  static bool CLAP_ABI SetScale(const clap_plugin_t* plugin, double scale) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    IEditorLink* editor = self ? self->Plugin().Editor() : nullptr;
    if (!editor) return false;
    editor->SetHostScale(scale);
    return true;
  }

  static bool CLAP_ABI GetSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    if (!self || !self->Plugin().Editor() || !self->mGuiCreated || !width || !height) return false;
    *width = static_cast<uint32_t>(self->Plugin().Editor()->Width());
    *height = static_cast<uint32_t>(self->Plugin().Editor()->Height());
    return true;
  }

  static bool CLAP_ABI CanResize(const clap_plugin_t*) { return false; }
  static bool CLAP_ABI ResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t*) { return false; }

  // The one size there is is the nearest usable one.
  static bool CLAP_ABI AdjustSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height) {
    return GetSize(plugin, width, height);
  }

  static bool CLAP_ABI SetSize(const clap_plugin_t* plugin, uint32_t width, uint32_t height) {
    uint32_t w = 0, h = 0;
    return GetSize(plugin, &w, &h) && w == width && h == height;
  }

  static bool CLAP_ABI SetParent(const clap_plugin_t* plugin, const clap_window_t* window) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      return self && window && self->SetParent(window);
    } catch (...) {
      return false;
    }
  }

  static bool CLAP_ABI SetTransient(const clap_plugin_t*, const clap_window_t*) { return false; }
  static void CLAP_ABI SuggestTitle(const clap_plugin_t*, const char*) {}

  // The embedded window shows and hides with the host's.
  static bool CLAP_ABI Show(const clap_plugin_t* plugin) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    return self && self->mGuiCreated;
  }
  static bool CLAP_ABI Hide(const clap_plugin_t* plugin) { return Show(plugin); }

  static void CLAP_ABI OnTimer(const clap_plugin_t* plugin, clap_id id) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      if (self && self->mTimerRegistered && id == self->mTimerId) self->PumpEditor();
    } catch (...) {
    }
  }

  static void CLAP_ABI OnFd(const clap_plugin_t* plugin, int fd, clap_posix_fd_flags_t /*flags*/) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      if (!self || fd < 0) return;
      if (fd == self->mTimerFd) DrainTimerDescriptor(fd);
      if (fd == self->mFd || fd == self->mTimerFd) self->PumpEditor();
    } catch (...) {
    }
  }
};

const clap_plugin_gui_t kClapGui = {
    ClapGuiEntries::IsApiSupported, ClapGuiEntries::PreferredApi, ClapGuiEntries::Create,
    ClapGuiEntries::Destroy,        ClapGuiEntries::SetScale,     ClapGuiEntries::GetSize,
    ClapGuiEntries::CanResize,      ClapGuiEntries::ResizeHints,  ClapGuiEntries::AdjustSize,
    ClapGuiEntries::SetSize,        ClapGuiEntries::SetParent,    ClapGuiEntries::SetTransient,
    ClapGuiEntries::SuggestTitle,   ClapGuiEntries::Show,         ClapGuiEntries::Hide};
const clap_plugin_timer_support_t kClapTimerSupport = {ClapGuiEntries::OnTimer};
const clap_plugin_posix_fd_support_t kClapPosixFdSupport = {ClapGuiEntries::OnFd};

bool IPluginClap::CreateGui(const char* api, bool floating) {
  if (!mPlugin->Editor() || !SupportedApi(api, floating)) return false;
  if (mGuiCreated) return true;
  if (!StartEditorPump()) return false;
  mGuiCreated = true;
  mLastSeenEdits = mPlugin->StateEdits();
  return true;
}

// The host's timer, or else a timer descriptor of our own that the host
// watches. An editor whose events come through a descriptor cannot live
// without either: then there is no editor, and the host's log says why.
bool IPluginClap::StartEditorPump() {
  if (mHostTimer && mHostTimer->register_timer)
    mTimerRegistered = mHostTimer->register_timer(mHost, kEditorTimerMs, &mTimerId);
  if (mTimerRegistered) return true;
  if (!ClapEditorUsesDescriptor()) {
    Log(CLAP_LOG_WARNING, "the host offers no timer: the editor runs only on its events");
    return true;
  }
  if (mHostFd && mHostFd->register_fd) {
    mTimerFd = OpenTimerDescriptor(kEditorTimerMs);
    if (mTimerFd >= 0 && mHostFd->register_fd(mHost, mTimerFd, CLAP_POSIX_FD_READ)) return true;
    CloseTimerDescriptor(mTimerFd);
    mTimerFd = -1;
  }
  Log(CLAP_LOG_ERROR, "the host offers neither timer-support nor posix-fd-support: the editor cannot run");
  return false;
}

void IPluginClap::StopEditorPump() {
  if (mTimerRegistered && mHostTimer && mHostTimer->unregister_timer) mHostTimer->unregister_timer(mHost, mTimerId);
  mTimerRegistered = false;
  mTimerId = CLAP_INVALID_ID;
  if (mTimerFd >= 0 && mHostFd && mHostFd->unregister_fd) mHostFd->unregister_fd(mHost, mTimerFd);
  CloseTimerDescriptor(mTimerFd);
  mTimerFd = -1;
}

// The host stops watching the window's descriptor before it goes.
void IPluginClap::ForgetWindowDescriptor() {
  if (mFd >= 0 && mHostFd && mHostFd->unregister_fd) mHostFd->unregister_fd(mHost, mFd);
  mFd = -1;
}

void IPluginClap::DestroyGui() {
  if (!mGuiCreated) return;
  ForgetWindowDescriptor();
  StopEditorPump();
  {
    auto lock = mPlugin->Lock();
    mPlugin->OnEditorClosing();
  }
  // The window goes without the lock: processing never waits for it.
  if (mPlugin->Editor()) mPlugin->Editor()->CloseWindow();
  mGuiCreated = false;
}

bool IPluginClap::SetParent(const clap_window_t* window) {
  if (!mGuiCreated || !window->api || std::strcmp(window->api, ClapWindowApi()) != 0) return false;
  void* parent = ClapParentHandle(*window);
  // A second parent replaces the first window, and its descriptor with it.
  ForgetWindowDescriptor();
  // The window, its fonts and pictures are made without the lock.
  if (!parent || !mPlugin->Editor()->OpenWindow(parent)) return false;
  {
    auto lock = mPlugin->Lock();
    mPlugin->OnEditorOpened();
  }
  const int fd = mPlugin->Editor()->EventDescriptor();
  if (fd >= 0 && mHostFd && mHostFd->register_fd && mHostFd->register_fd(mHost, fd, CLAP_POSIX_FD_READ)) mFd = fd;
  return true;
}

// The same pump the VST 2.4 host's idle calls run, then a look at what the
// editor changed.
void IPluginClap::PumpEditor() {
  mPlugin->OnIdle();
  // A lost server or a destroyed window leaves the descriptor with nothing to
  // read, and a closed one may soon name something of the host's.
  if (mFd >= 0 && mPlugin->Editor() && mPlugin->Editor()->EventDescriptor() != mFd) ForgetWindowDescriptor();
  CheckForChanges(true);
}

// A size that differs from the editor's is a request while the window is
// open: the host makes room, or the editor keeps its size and scale.
void IPluginClap::EditorResized(int width, int height) {
  IEditorLink* editor = mPlugin ? mPlugin->Editor() : nullptr;
  if (!editor || (width == editor->Width() && height == editor->Height())) return;
  if (!mGuiCreated || !mHostGui || !mHostGui->request_resize || width <= 0 || height <= 0) return;
  if (mHostGui->request_resize(mHost, static_cast<uint32_t>(width), static_cast<uint32_t>(height)))
    editor->HostResized(width, height);
}

}  // namespace velmora
