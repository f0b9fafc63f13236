// The state extension of IPluginClap: the program chunk's bytes, so that a
// session, a preset or a copied instance moves between the two formats.
#include <algorithm>
#include <new>
#include <vector>

#include "framework/plugin/clap/ClapExtensions.h"
#include "framework/plugin/clap/IPluginClap.h"

namespace velmora {

namespace {

constexpr uint64_t kReadPiece = 64 * 1024;

// Hosts may move fewer bytes per call than asked: loop until done.
bool WriteAll(const clap_ostream_t* stream, const uint8_t* data, int64_t size) {
  while (size > 0) {
    const int64_t written = stream->write(stream, data, static_cast<uint64_t>(size));
    if (written <= 0 || written > size) return false;
    data += written;
    size -= written;
  }
  return true;
}

bool ReadAll(const clap_istream_t* stream, std::vector<uint8_t>& bytes, int64_t limit) {
  for (;;) {
    const size_t used = bytes.size();
    if (static_cast<int64_t>(used) >= limit) return false;
    bytes.resize(used + kReadPiece);
    const int64_t got = stream->read(stream, bytes.data() + used, kReadPiece);
    if (got < 0 || got > static_cast<int64_t>(kReadPiece)) return false;
    bytes.resize(used + static_cast<size_t>(got));
    if (got == 0) return true;
  }
}

}  // namespace

struct ClapStateEntries {
  static bool CLAP_ABI Save(const clap_plugin_t* plugin, const clap_ostream_t* stream) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      return self && stream && stream->write && self->SaveToStream(stream);
    } catch (...) {
      return false;
    }
  }

  static bool CLAP_ABI Load(const clap_plugin_t* plugin, const clap_istream_t* stream) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      return self && stream && stream->read && self->LoadFromStream(stream);
    } catch (...) {
      return false;
    }
  }
};

const clap_plugin_state_t kClapState = {ClapStateEntries::Save, ClapStateEntries::Load};

bool IPluginClap::SaveToStream(const clap_ostream_t* stream) {
  ChunkBuffer chunk;
  // The host now holds this state and every edit made so far.
  const uint32_t edits = mPlugin->StateEdits();
  if (!mPlugin->SaveProgramChunk(chunk)) return false;
  mLastSeenEdits = edits;
  return WriteAll(stream, chunk.Data(), chunk.Size());
}

// A load that fails leaves the instance as it was: the state before it is
// kept and put back.
bool IPluginClap::LoadFromStream(const clap_istream_t* stream) {
  std::vector<uint8_t> bytes;
  if (!ReadAll(stream, bytes, kMaxStateBytes) || bytes.empty()) return false;
  ChunkBuffer incoming;
  incoming.Resize(static_cast<int>(bytes.size()));
  std::copy(bytes.begin(), bytes.end(), incoming.Data());
  ChunkBuffer before;
  bool loaded;
  {
    auto lock = mPlugin->Lock();
    if (!mPlugin->SaveProgramChunk(before)) return false;
    loaded = mPlugin->LoadProgramChunk(incoming);
    if (!loaded) mPlugin->LoadProgramChunk(before);
  }
  if (!loaded) {
    Log(CLAP_LOG_WARNING, "a saved state could not be read; the instance keeps its own");
    return false;
  }
  mLastSeenEdits = mPlugin->StateEdits();
  if (mHostParams && mHostParams->rescan) mHostParams->rescan(mHost, CLAP_PARAM_RESCAN_VALUES);
  CheckForChanges(false);
  return true;
}

void IPluginClap::CheckForChanges(bool stateToo) {
  // The host functions below are for its main thread only: elsewhere the
  // look waits for on_main_thread.
  if (!OnMainThread()) {
    mHostChangedValues.store(true, std::memory_order_release);
    if (mHost && mHost->request_callback) mHost->request_callback(mHost);
    return;
  }
  // Only the editor's edits: the host knows of its own parameter changes.
  const uint32_t edits = mPlugin->StateEdits();
  if (stateToo && edits != mLastSeenEdits && mHostState && mHostState->mark_dirty) {
    mLastSeenEdits = edits;
    mHostState->mark_dirty(mHost);
  }
  std::string names = NoteNames();
  if (names == mLastNoteNames) return;
  mLastNoteNames = std::move(names);
  if (mHostNoteName && mHostNoteName->changed) mHostNoteName->changed(mHost);
}

}  // namespace velmora
