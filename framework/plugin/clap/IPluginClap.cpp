// Construction, the plug-in record's entries, the lifecycle and the host
// services of IPluginClap.
#include "framework/plugin/clap/IPluginClap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "framework/plugin/clap/ClapExtensions.h"

namespace velmora {

// No exception may cross into the host: each entry answers its failure value.
struct ClapPluginEntries {
  static bool CLAP_ABI Init(const clap_plugin_t* plugin) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      return self && self->Init();
    } catch (...) {
      return false;
    }
  }

  static void CLAP_ABI Destroy(const clap_plugin_t* plugin) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    if (!self) return;
    try {
      // A host may destroy us with the editor still up, or while active.
      if (self->mGuiCreated) self->DestroyGui();
      if (self->mActive) self->Deactivate();
      { auto lock = self->Plugin().Lock(); }  // wait out a call in flight elsewhere
      delete self;
    } catch (...) {
    }
  }

  static bool CLAP_ABI Activate(const clap_plugin_t* plugin, double rate, uint32_t minFrames, uint32_t maxFrames) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      return self && self->Activate(rate, minFrames, maxFrames);
    } catch (...) {
      return false;
    }
  }

  static void CLAP_ABI Deactivate(const clap_plugin_t* plugin) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      if (self) self->Deactivate();
    } catch (...) {
    }
  }

  static bool CLAP_ABI StartProcessing(const clap_plugin_t* plugin) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    if (!self || !self->mActive) return false;
    self->mProcessing.store(true, std::memory_order_release);
    return true;
  }

  static void CLAP_ABI StopProcessing(const clap_plugin_t* plugin) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    if (self) self->mProcessing.store(false, std::memory_order_release);
  }

  static void CLAP_ABI Reset(const clap_plugin_t* plugin) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      if (self) self->Reset();
    } catch (...) {
    }
  }

  static clap_process_status CLAP_ABI Process(const clap_plugin_t* plugin, const clap_process_t* process) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    if (!self || !process) return CLAP_PROCESS_ERROR;
    try {
      return self->Process(*process);
    } catch (...) {
      return CLAP_PROCESS_ERROR;
    }
  }

  static const void* CLAP_ABI GetExtension(const clap_plugin_t* plugin, const char* id) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    if (!self || !id) return nullptr;
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &kClapParams;
    if (std::strcmp(id, CLAP_EXT_STATE) == 0) return self->Plugin().StateChunks() ? &kClapState : nullptr;
    if (std::strcmp(id, CLAP_EXT_NOTE_PORTS) == 0) return &kClapNotePorts;
    if (std::strcmp(id, CLAP_EXT_NOTE_NAME) == 0) return &kClapNoteName;
    if (!self->Plugin().Editor()) return nullptr;
    if (std::strcmp(id, CLAP_EXT_GUI) == 0) return &kClapGui;
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &kClapTimerSupport;
    if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0 && ClapEditorUsesDescriptor()) return &kClapPosixFdSupport;
    return nullptr;
  }

  static void CLAP_ABI OnMainThread(const clap_plugin_t* plugin) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      if (self && self->mHostChangedValues.exchange(false)) self->CheckForChanges(false);
    } catch (...) {
    }
  }
};

IPluginClap::IPluginClap(const clap_host_t* host, const PluginFactory& make) : mHost(host) {
  mNoteIds.fill(-1);
  mPlugin = make(*this);
  if (!mPlugin) throw std::runtime_error("no plug-in");
  mClapPlugin.plugin_data = this;
  mClapPlugin.init = ClapPluginEntries::Init;
  mClapPlugin.destroy = ClapPluginEntries::Destroy;
  mClapPlugin.activate = ClapPluginEntries::Activate;
  mClapPlugin.deactivate = ClapPluginEntries::Deactivate;
  mClapPlugin.start_processing = ClapPluginEntries::StartProcessing;
  mClapPlugin.stop_processing = ClapPluginEntries::StopProcessing;
  mClapPlugin.reset = ClapPluginEntries::Reset;
  mClapPlugin.process = ClapPluginEntries::Process;
  mClapPlugin.get_extension = ClapPluginEntries::GetExtension;
  mClapPlugin.on_main_thread = ClapPluginEntries::OnMainThread;
  // No audio ports: the audio channels the base keeps are never connected.
  for (int i = 0; i < mPlugin->NInChannels(); ++i) mPlugin->SetInChannelConnected(i, false);
  for (int i = 0; i < mPlugin->NOutChannels(); ++i) mPlugin->SetOutChannelConnected(i, false);
  mPlugin->SetMaxBlockSize(1024);
}

IPluginClap::~IPluginClap() {
  mClapPlugin.plugin_data = nullptr;
  // The plug-in goes first: its last calls may still reach this host.
  mPlugin.reset();
}

IPluginClap* IPluginClap::FromPlugin(const clap_plugin_t* plugin) {
  if (!plugin || !plugin->plugin_data) return nullptr;
  return static_cast<IPluginClap*>(plugin->plugin_data);
}

// The host may be asked for its extensions from here on, not before.
bool IPluginClap::Init() {
  mHostParams = HostExtension<clap_host_params_t>(CLAP_EXT_PARAMS);
  mHostState = HostExtension<clap_host_state_t>(CLAP_EXT_STATE);
  mHostLog = HostExtension<clap_host_log_t>(CLAP_EXT_LOG);
  mHostThreadCheck = HostExtension<clap_host_thread_check_t>(CLAP_EXT_THREAD_CHECK);
  mHostNoteName = HostExtension<clap_host_note_name_t>(CLAP_EXT_NOTE_NAME);
  mHostTimer = HostExtension<clap_host_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
  mHostFd = HostExtension<clap_host_posix_fd_support_t>(CLAP_EXT_POSIX_FD_SUPPORT);
  mHostGui = HostExtension<clap_host_gui_t>(CLAP_EXT_GUI);
  auto lock = mPlugin->Lock();
  mPlugin->IdentifyHost();
  mPlugin->OnHostKnown();
  mPlugin->NotifyAllParams();
  mLastNoteNames = NoteNames();
  return true;
}

bool IPluginClap::Activate(double sampleRate, uint32_t /*minFrames*/, uint32_t maxFrames) {
  auto lock = mPlugin->Lock();
  // A rate of zero, below it or not a number would poison every later frame
  // computation; the last good rate stays.
  if (std::isfinite(sampleRate) && sampleRate > 0.0) mPlugin->SetSampleRate(sampleRate);
  if (maxFrames >= 1) mPlugin->SetMaxBlockSize(static_cast<int>(std::min(maxFrames, kMaxAnnouncedBlockSize)));
  mPlugin->OnReset();
  mPlugin->OnActiveChanged(true);
  mActive = true;
  return true;
}

void IPluginClap::Deactivate() {
  auto lock = mPlugin->Lock();
  if (!mActive) return;
  mProcessing.store(false, std::memory_order_release);
  mPlugin->OnActiveChanged(false);
  mPlugin->OnReset();
  mActive = false;
}

// On the audio thread a busy lock leaves the reset to the next block.
void IPluginClap::Reset() {
  if (IsProcessing()) {
    auto lock = mPlugin->TryLockForBlock();
    mResetPending = !lock.owns_lock();
    if (lock.owns_lock()) mPlugin->ReleaseAllNotes();
    return;
  }
  auto lock = mPlugin->Lock();
  mPlugin->ReleaseAllNotes();
}

bool IPluginClap::OnMainThread() const {
  // Without the host's word, the call is taken to come where it should.
  if (mHostThreadCheck && mHostThreadCheck->is_main_thread) return mHostThreadCheck->is_main_thread(mHost);
  return true;
}

bool IPluginClap::LogMessage(const char* line) const {
  const clap_host_log_t* log = mHostLog.load(std::memory_order_acquire);
  if (!log || !log->log) return false;
  log->log(mHost, CLAP_LOG_WARNING, line ? line : "");
  return true;
}

void IPluginClap::Log(clap_log_severity severity, const char* text) const {
  if (!text) return;
  const clap_host_log_t* log = mHostLog.load(std::memory_order_acquire);
  if (log && log->log) {
    log->log(mHost, severity, text);
    return;
  }
  mPlugin->LogMessage(text);
}

void IPluginClap::BeginParamEdit(int index) {
  auto lock = mPlugin->Lock();
  if (!mPlugin->GetParam(index)) return;
  mEdits.Push({ParamEditQueue::Kind::kBegin, index, 0.0});
  RequestFlush();
}

void IPluginClap::AutomateParam(int index, double /*normalized*/) {
  auto lock = mPlugin->Lock();
  const Param* param = mPlugin->GetParam(index);
  if (!param) return;
  mEdits.Push({ParamEditQueue::Kind::kValue, index, param->Value()});
  RequestFlush();
}

void IPluginClap::EndParamEdit(int index) {
  auto lock = mPlugin->Lock();
  if (!mPlugin->GetParam(index)) return;
  mEdits.Push({ParamEditQueue::Kind::kEnd, index, 0.0});
  RequestFlush();
}

// A host may stop calling process() for a plug-in it thinks is silent; an
// audition from the editor must not wait for the next note to wake it.
void IPluginClap::RequestProcessing() {
  if (!IsProcessing() && mHost && mHost->request_process) mHost->request_process(mHost);
}

// While processing, the next block carries the edits anyway. The host's
// request_flush is not for its audio thread.
void IPluginClap::RequestFlush() {
  if (IsProcessing() || !mHostParams || !mHostParams->request_flush) return;
  if (mHostThreadCheck && mHostThreadCheck->is_audio_thread && mHostThreadCheck->is_audio_thread(mHost)) return;
  mHostParams->request_flush(mHost);
}

}  // namespace velmora
