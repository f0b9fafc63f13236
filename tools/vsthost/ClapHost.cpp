#include "tools/vsthost/ClapHost.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ostream>
#include <utility>

namespace velmora::host {
namespace {

ClapHost& hostOf(const clap_host_t* host) { return *static_cast<ClapHost*>(host->host_data); }

// The host side of every extension the plug-in may ask for.
struct Answers {
  static const void* CLAP_ABI extension(const clap_host_t* host, const char* id) {
    return hostOf(host).hostExtension(id);
  }
  static void CLAP_ABI nothing(const clap_host_t*) {}
  static void CLAP_ABI requestCallback(const clap_host_t* host) { hostOf(host).requestCallback(); }
  static void CLAP_ABI requestProcess(const clap_host_t* host) { hostOf(host).requestProcess(); }
  static void CLAP_ABI rescan(const clap_host_t* host, std::uint32_t flags) { hostOf(host).rescan(flags); }
  static void CLAP_ABI clear(const clap_host_t*, clap_id, std::uint32_t) {}
  static void CLAP_ABI requestFlush(const clap_host_t* host) { hostOf(host).requestFlush(); }
  static void CLAP_ABI markDirty(const clap_host_t* host) { hostOf(host).markDirty(); }
  static void CLAP_ABI namesChanged(const clap_host_t* host) { hostOf(host).noteNamesChanged(); }
  static void CLAP_ABI log(const clap_host_t* host, clap_log_severity severity, const char* text) {
    hostOf(host).log(severity, text);
  }
  // The loading thread is the main thread, and the audio thread while it
  // is inside process() or an active plug-in's flush.
  static bool CLAP_ABI mainThread(const clap_host_t* host) { return !hostOf(host).inAudioCall(); }
  static bool CLAP_ABI audioThread(const clap_host_t* host) { return hostOf(host).inAudioCall(); }
  static bool CLAP_ABI registerTimer(const clap_host_t* host, std::uint32_t period, clap_id* id) {
    return hostOf(host).registerTimer(period, id);
  }
  static bool CLAP_ABI unregisterTimer(const clap_host_t* host, clap_id id) {
    return hostOf(host).unregisterTimer(id);
  }
  static bool CLAP_ABI registerFd(const clap_host_t* host, int fd, clap_posix_fd_flags_t) {
    return hostOf(host).registerDescriptor(fd);
  }
  static bool CLAP_ABI modifyFd(const clap_host_t*, int, clap_posix_fd_flags_t) { return true; }
  static bool CLAP_ABI unregisterFd(const clap_host_t* host, int fd) { return hostOf(host).unregisterDescriptor(fd); }
};

const clap_host_params_t kParams = {Answers::rescan, Answers::clear, Answers::requestFlush};
const clap_host_state_t kState = {Answers::markDirty};
const clap_host_note_name_t kNoteName = {Answers::namesChanged};
const clap_host_log_t kLog = {Answers::log};
const clap_host_thread_check_t kThreadCheck = {Answers::mainThread, Answers::audioThread};
const clap_host_timer_support_t kTimers = {Answers::registerTimer, Answers::unregisterTimer};
const clap_host_posix_fd_support_t kFds = {Answers::registerFd, Answers::modifyFd, Answers::unregisterFd};

// Event lists over vectors of events.
struct InList {
  const std::vector<const clap_event_header_t*>* events;
  static std::uint32_t CLAP_ABI size(const clap_input_events_t* list) {
    return static_cast<std::uint32_t>(static_cast<const InList*>(list->ctx)->events->size());
  }
  static const clap_event_header_t* CLAP_ABI get(const clap_input_events_t* list, std::uint32_t index) {
    const auto& events = *static_cast<const InList*>(list->ctx)->events;
    return index < events.size() ? events[index] : nullptr;
  }
};

bool CLAP_ABI pushOut(const clap_output_events_t* list, const clap_event_header_t* event) {
  if (!event || event->size < sizeof(clap_event_header_t)) return false;
  static_cast<ClapHost*>(list->ctx)->push(*event);
  return true;
}

struct Bytes {
  std::vector<std::uint8_t>* data;
  std::size_t at = 0;
  static std::int64_t CLAP_ABI write(const clap_ostream_t* stream, const void* buffer, std::uint64_t size) {
    auto* out = static_cast<Bytes*>(stream->ctx);
    const auto n = static_cast<std::size_t>(std::min(size, ClapHost::kStreamPiece));
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    out->data->insert(out->data->end(), bytes, bytes + n);
    return static_cast<std::int64_t>(n);
  }
  static std::int64_t CLAP_ABI read(const clap_istream_t* stream, void* buffer, std::uint64_t size) {
    auto* in = static_cast<Bytes*>(stream->ctx);
    const std::size_t left = in->data->size() - in->at;
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>({size, ClapHost::kStreamPiece, left}));
    if (n > 0) std::memcpy(buffer, in->data->data() + in->at, n);
    in->at += n;
    return static_cast<std::int64_t>(n);
  }
};

template <typename T>
std::vector<std::uint8_t> eventBytes(const T& event) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&event);
  return std::vector<std::uint8_t>(bytes, bytes + sizeof event);
}

clap_event_header_t header(std::uint16_t type, std::uint32_t size) {
  return clap_event_header_t{size, 0, CLAP_CORE_EVENT_SPACE_ID, type, 0};
}

}  // namespace

ClapHost::ClapHost() {
  host_.clap_version = CLAP_VERSION_INIT;
  host_.host_data = this;
  host_.name = "Velmora Host";
  host_.vendor = "Velmora";
  host_.url = "";
  host_.version = "1.4.0";
  host_.get_extension = Answers::extension;
  host_.request_restart = Answers::nothing;
  host_.request_process = Answers::requestProcess;
  host_.request_callback = Answers::requestCallback;
}

ClapHost::~ClapHost() { close(); }

bool ClapHost::fail(const std::string& message) {
  error_ = message;
  return false;
}

bool ClapHost::load(const std::string& path) {
  close();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    timers_.clear();
    descriptors_.clear();
  }
  if (!module_.load(path)) return fail(module_.error());
  entry_ = static_cast<const clap_plugin_entry_t*>(module_.symbol("clap_entry"));
  if (!entry_ || !clap_version_is_compatible(entry_->clap_version) || !entry_->init(path.c_str())) {
    entry_ = nullptr;
    module_.unload();
    return fail(path + ": no usable clap_entry");
  }
  factory_ = static_cast<const clap_plugin_factory_t*>(entry_->get_factory(CLAP_PLUGIN_FACTORY_ID));
  const clap_plugin_descriptor_t* descriptor =
      factory_ && factory_->get_plugin_count(factory_) > 0 ? factory_->get_plugin_descriptor(factory_, 0) : nullptr;
  plugin_ = descriptor ? factory_->create_plugin(factory_, &host_, descriptor->id) : nullptr;
  if (!plugin_ || !plugin_->init(plugin_)) {
    if (plugin_) plugin_->destroy(plugin_);
    plugin_ = nullptr;
    close();
    return fail(path + ": the factory made no plug-in");
  }
  params_ = extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
  blocksProcessed_ = 0;
  beats_ = 0.0;
  error_.clear();
  return true;
}

void ClapHost::close() {
  if (plugin_) {
    plugin_->destroy(plugin_);
    plugin_ = nullptr;
  }
  active_ = false;
  params_ = nullptr;
  factory_ = nullptr;
  if (entry_) entry_->deinit();
  entry_ = nullptr;
  pending_.clear();
  pendingParams_.clear();
  // What the plug-in registered stays for a look: it must have let go of it.
  module_.unload();
}

void ClapHost::setSampleRate(double rate) {
  const bool wasActive = active_;
  if (wasActive) suspend();
  sampleRate_ = rate;
  if (wasActive) resume();
}

bool ClapHost::setBlockSize(std::int32_t frames) {
  if (frames < 1 || frames > kMaxBlockSize) return fail("bad block size");
  const bool wasActive = active_;
  if (wasActive) suspend();
  blockSize_ = frames;
  if (wasActive) resume();
  return true;
}

void ClapHost::resume() {
  if (!plugin_ || active_) return;
  if (!plugin_->activate(plugin_, sampleRate_, 1, static_cast<std::uint32_t>(blockSize_))) return;
  active_ = plugin_->start_processing(plugin_);
  if (!active_) plugin_->deactivate(plugin_);
}

void ClapHost::suspend() {
  if (!plugin_ || !active_) return;
  plugin_->stop_processing(plugin_);
  plugin_->deactivate(plugin_);
  active_ = false;
}

bool ClapHost::queueMidi(std::int32_t deltaFrames, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  clap_event_midi_t midi{};
  midi.header = header(CLAP_EVENT_MIDI, sizeof midi);
  midi.data[0] = status;
  midi.data[1] = data1;
  midi.data[2] = data2;
  pending_.push_back({deltaFrames, eventBytes(midi)});
  return true;
}

bool ClapHost::queueNote(std::int32_t deltaFrames, bool on, std::int16_t key, double velocity) {
  clap_event_note_t note{};
  note.header = header(on ? CLAP_EVENT_NOTE_ON : CLAP_EVENT_NOTE_OFF, sizeof note);
  note.note_id = -1;
  note.port_index = 0;
  note.channel = 0;
  note.key = key;
  note.velocity = velocity;
  pending_.push_back({deltaFrames, eventBytes(note)});
  return true;
}

bool ClapHost::queueNoteEvent(std::int32_t deltaFrames, std::uint16_t type, std::int16_t channel, std::int16_t key,
                              std::int32_t noteId, double velocity) {
  clap_event_note_t note{};
  note.header = header(type, sizeof note);
  note.note_id = noteId;
  note.port_index = 0;
  note.channel = channel;
  note.key = key;
  note.velocity = velocity;
  pending_.push_back({deltaFrames, eventBytes(note)});
  return true;
}

bool ClapHost::queueParamValue(std::int32_t deltaFrames, clap_id id, double value) {
  clap_event_param_value_t event{};
  event.header = header(CLAP_EVENT_PARAM_VALUE, sizeof event);
  event.param_id = id;
  event.note_id = -1;
  event.port_index = event.channel = event.key = -1;
  event.value = value;
  pending_.push_back({deltaFrames, eventBytes(event)});
  return true;
}

void ClapHost::fillTransport(clap_event_transport_t& transport) const {
  transport = clap_event_transport_t{};
  transport.header = header(CLAP_EVENT_TRANSPORT, sizeof transport);
  transport.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_HAS_BEATS_TIMELINE | CLAP_TRANSPORT_HAS_SECONDS_TIMELINE |
                    CLAP_TRANSPORT_HAS_TIME_SIGNATURE | (playing_ ? CLAP_TRANSPORT_IS_PLAYING : 0) |
                    (preRoll_ ? CLAP_TRANSPORT_IS_WITHIN_PRE_ROLL : 0);
  transport.tempo = tempo_;
  transport.song_pos_beats = std::llround(beats_ * CLAP_BEATTIME_FACTOR);
  transport.song_pos_seconds = std::llround(beats_ * 60.0 / tempo_ * CLAP_SECTIME_FACTOR);
  transport.bar_start = std::llround(std::floor(beats_ / 4.0) * 4.0 * CLAP_BEATTIME_FACTOR);
  transport.bar_number = static_cast<std::int32_t>(beats_ / 4.0);
  transport.tsig_num = 4;
  transport.tsig_denom = 4;
}

void ClapHost::runBlock() {
  // The events that fall into this block, in time order; the rest move on.
  std::stable_sort(pending_.begin(), pending_.end(), [](const Queued& a, const Queued& b) { return a.time < b.time; });
  std::vector<Queued> now, later;
  for (Queued& queued : pending_) {
    if (queued.time < blockSize_) {
      reinterpret_cast<clap_event_header_t*>(queued.bytes.data())->time = static_cast<std::uint32_t>(queued.time);
      now.push_back(std::move(queued));
    } else {
      queued.time -= blockSize_;
      later.push_back(std::move(queued));
    }
  }
  pending_ = std::move(later);
  std::vector<const clap_event_header_t*> events;
  for (const Queued& queued : now) events.push_back(reinterpret_cast<const clap_event_header_t*>(queued.bytes.data()));
  deliver(events, true);
  if (playing_) beats_ += blockSize_ * tempo_ / 60.0 / sampleRate_;
  ++blocksProcessed_;
}

void ClapHost::deliver(const std::vector<const clap_event_header_t*>& events, bool processing) {
  InList list{&events};
  const clap_input_events_t in{&list, InList::size, InList::get};
  const clap_output_events_t out{this, pushOut};
  lastPushedTime_ = 0;
  if (!processing) {
    flushing_ = true;
    inProcess_ = active_;
    if (params_) params_->flush(plugin_, &in, &out);
    inProcess_ = false;
    flushing_ = false;
    return;
  }
  clap_event_transport_t transport;
  fillTransport(transport);
  clap_process_t process{};
  process.steady_time = blocksProcessed_ * blockSize_;
  process.frames_count = static_cast<std::uint32_t>(blockSize_);
  process.transport = transportAbsent_ ? nullptr : &transport;
  process.in_events = &in;
  process.out_events = &out;
  inProcess_ = true;
  plugin_->process(plugin_, &process);
  inProcess_ = false;
}

bool ClapHost::process(std::int32_t blocks) {
  if (!plugin_) return fail("no plug-in loaded");
  if (!active_) return fail("the plug-in is not active: resume it before processing");
  for (std::int32_t i = 0; i < blocks; ++i) runBlock();
  return true;
}

void ClapHost::flush() {
  if (!plugin_) return;
  std::vector<const clap_event_header_t*> events;
  for (const Queued& queued : pendingParams_) events.push_back(reinterpret_cast<const clap_event_header_t*>(queued.bytes.data()));
  deliver(events, false);
  pendingParams_.clear();
}

void ClapHost::push(const clap_event_header_t& event) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (event.time < lastPushedTime_) outputsInOrder_ = false;
  lastPushedTime_ = event.time;
  ClapOutEvent copy;
  copy.block = inProcess_ && !flushing_ ? blocksProcessed_ : -1;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&event);
  copy.bytes.assign(bytes, bytes + event.size);
  if (event.space_id == CLAP_CORE_EVENT_SPACE_ID && event.type == CLAP_EVENT_MIDI &&
      event.size >= sizeof(clap_event_midi_t)) {
    const auto& midi = reinterpret_cast<const clap_event_midi_t&>(event);
    captured_.push_back({copy.block, static_cast<std::int32_t>(event.time), kVstMidiType,
                         {midi.data[0], midi.data[1], midi.data[2]}});
  } else if (event.space_id == CLAP_CORE_EVENT_SPACE_ID && event.type >= CLAP_EVENT_PARAM_VALUE &&
             event.type <= CLAP_EVENT_PARAM_GESTURE_END && event.type != CLAP_EVENT_PARAM_MOD) {
    AutomationRecord record;
    record.index = static_cast<std::int32_t>(reinterpret_cast<const clap_event_param_gesture_t&>(event).param_id);
    if (event.type == CLAP_EVENT_PARAM_VALUE) {
      record.kind = AutomationRecord::Kind::Automate;
      record.value = static_cast<float>(reinterpret_cast<const clap_event_param_value_t&>(event).value);
    } else {
      record.kind = event.type == CLAP_EVENT_PARAM_GESTURE_BEGIN ? AutomationRecord::Kind::BeginEdit
                                                                 : AutomationRecord::Kind::EndEdit;
    }
    automation_.push_back(record);
  }
  out_.push_back(std::move(copy));
}

std::vector<ClapOutEvent> ClapHost::outEvents() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return out_;
}

std::vector<ClapOutEvent> ClapHost::takeOutEvents() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(out_, {});  // leaves the list empty, not just moved from
}

std::vector<CapturedMidi> ClapHost::capturedMidi() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return captured_;
}

std::vector<CapturedMidi> ClapHost::takeCapturedMidi() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(captured_, {});
}

std::vector<AutomationRecord> ClapHost::automation() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return automation_;
}

std::vector<AutomationRecord> ClapHost::takeAutomation() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(automation_, {});
}

std::int32_t ClapHost::parameterCount() const {
  return params_ ? static_cast<std::int32_t>(params_->count(plugin_)) : 0;
}

bool ClapHost::parameterInfo(std::int32_t index, clap_param_info_t& info) const {
  return params_ && index >= 0 && params_->get_info(plugin_, static_cast<std::uint32_t>(index), &info);
}

double ClapHost::plainValue(std::int32_t index) const {
  clap_param_info_t info{};
  double value = 0.0;
  if (!parameterInfo(index, info) || !params_->get_value(plugin_, info.id, &value)) return 0.0;
  return value;
}

float ClapHost::parameter(std::int32_t index) const {
  clap_param_info_t info{};
  if (!parameterInfo(index, info) || !(info.max_value > info.min_value)) return 0.0f;
  return static_cast<float>((plainValue(index) - info.min_value) / (info.max_value - info.min_value));
}

bool ClapHost::setParameter(std::int32_t index, float value) {
  clap_param_info_t info{};
  if (!parameterInfo(index, info)) return fail("no parameter " + std::to_string(index));
  const double normalized = std::clamp(static_cast<double>(value), 0.0, 1.0);
  clap_event_param_value_t event{};
  event.header = header(CLAP_EVENT_PARAM_VALUE, sizeof event);
  event.param_id = info.id;
  event.cookie = info.cookie;
  event.note_id = -1;
  event.port_index = event.channel = event.key = -1;
  event.value = info.min_value + normalized * (info.max_value - info.min_value);
  if (info.flags & CLAP_PARAM_IS_STEPPED) event.value = std::round(event.value);
  pendingParams_.push_back({0, eventBytes(event)});
  flush();
  return true;
}

std::string ClapHost::parameterName(std::int32_t index) {
  clap_param_info_t info{};
  return parameterInfo(index, info) ? std::string(info.name) : std::string();
}

std::string ClapHost::valueText(clap_id id, double value) {
  char text[256] = {};
  if (!params_ || !params_->value_to_text(plugin_, id, value, text, sizeof text)) return std::string();
  return text;
}

std::string ClapHost::parameterDisplay(std::int32_t index) {
  clap_param_info_t info{};
  return parameterInfo(index, info) ? valueText(info.id, plainValue(index)) : std::string();
}

std::int32_t ClapHost::findParameter(const std::string& name) {
  for (std::int32_t i = 0; i < parameterCount(); ++i)
    if (parameterName(i) == name) return i;
  return -1;
}

std::intptr_t ClapHost::canDo(const std::string& capability) {
  return plugin_ && plugin_->get_extension(plugin_, capability.c_str()) ? 1 : 0;
}

bool ClapHost::getChunk(ChunkKind kind, std::vector<std::uint8_t>& data) {
  const auto* state = extension<clap_plugin_state_t>(CLAP_EXT_STATE);
  if (kind != ChunkKind::Program || !state) return fail("a CLAP plug-in saves one state, no bank");
  data.clear();
  Bytes bytes{&data};
  const clap_ostream_t stream{&bytes, Bytes::write};
  return state->save(plugin_, &stream) || fail("the plug-in could not save its state");
}

bool ClapHost::setChunk(ChunkKind kind, const std::vector<std::uint8_t>& data) {
  const auto* state = extension<clap_plugin_state_t>(CLAP_EXT_STATE);
  if (kind != ChunkKind::Program || !state) return fail("a CLAP plug-in loads one state, no bank");
  std::vector<std::uint8_t> copy = data;
  Bytes bytes{&copy};
  const clap_istream_t stream{&bytes, Bytes::read};
  return state->load(plugin_, &stream) || fail("the plug-in refused the state");
}

void ClapHost::describe(std::ostream& out) {
  if (!plugin_ || !plugin_->desc) return;
  const clap_plugin_descriptor_t& d = *plugin_->desc;
  auto text = [](const char* s) { return s ? s : "(none)"; };
  out << "clap version   " << d.clap_version.major << '.' << d.clap_version.minor << '.' << d.clap_version.revision
      << '\n'
      << "id             " << text(d.id) << '\n'
      << "name           " << text(d.name) << '\n'
      << "vendor         " << text(d.vendor) << '\n'
      << "version        " << text(d.version) << '\n'
      << "url            " << text(d.url) << '\n'
      << "description    " << text(d.description) << '\n'
      << "features      ";
  for (const char* const* f = d.features; f && *f; ++f) out << ' ' << *f;
  out << "\nparams         " << parameterCount() << '\n';
}

std::vector<std::pair<int, std::string>> ClapHost::noteNames() const {
  std::vector<std::pair<int, std::string>> names;
  const auto* ext = extension<clap_plugin_note_name_t>(CLAP_EXT_NOTE_NAME);
  const std::uint32_t count = ext ? ext->count(plugin_) : 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    clap_note_name_t name{};
    if (ext->get(plugin_, i, &name)) names.emplace_back(name.key, name.name);
  }
  return names;
}

bool ClapHost::createEditor() {
  const auto* gui = extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
  const char* api = nullptr;
  bool floating = true;
  return gui && gui->get_preferred_api(plugin_, &api, &floating) && gui->is_api_supported(plugin_, api, false) &&
         gui->create(plugin_, api, false);
}

bool ClapHost::setEditorParent(std::uintptr_t window) {
  const auto* gui = extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
  const char* api = nullptr;
  bool floating = false;
  if (!gui || !gui->get_preferred_api(plugin_, &api, &floating)) return false;
  clap_window_t parent{};
  parent.api = api;
  if (std::strcmp(api, CLAP_WINDOW_API_WIN32) == 0)
    parent.win32 = reinterpret_cast<void*>(window);
  else
    parent.x11 = static_cast<unsigned long>(window);
  return gui->set_parent(plugin_, &parent) && gui->show(plugin_);
}

void ClapHost::destroyEditor() {
  if (const auto* gui = extension<clap_plugin_gui_t>(CLAP_EXT_GUI)) gui->destroy(plugin_);
}

std::vector<ClapHost::Timer> ClapHost::timers() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return timers_;
}

std::vector<int> ClapHost::descriptors() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return descriptors_;
}

void ClapHost::fireTimers() {
  const auto* support = extension<clap_plugin_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
  for (const Timer& timer : timers())
    if (support) support->on_timer(plugin_, timer.id);
}

void ClapHost::fireDescriptor(int fd) {
  if (const auto* support = extension<clap_plugin_posix_fd_support_t>(CLAP_EXT_POSIX_FD_SUPPORT))
    support->on_fd(plugin_, fd, CLAP_POSIX_FD_READ);
}

void ClapHost::runMainThreadCallbacks() {
  if (plugin_ && callbackRequested_.exchange(false)) plugin_->on_main_thread(plugin_);
}

std::vector<std::string> ClapHost::logLines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

const void* ClapHost::hostExtension(const char* id) {
  if (!id || std::find(withheld_.begin(), withheld_.end(), id) != withheld_.end()) return nullptr;
  const std::pair<const char*, const void*> answers[] = {
      {CLAP_EXT_PARAMS, &kParams},     {CLAP_EXT_STATE, &kState},         {CLAP_EXT_NOTE_NAME, &kNoteName},
      {CLAP_EXT_LOG, &kLog},           {CLAP_EXT_THREAD_CHECK, &kThreadCheck}, {CLAP_EXT_TIMER_SUPPORT, &kTimers},
      {CLAP_EXT_POSIX_FD_SUPPORT, &kFds}};
  for (const auto& [name, answer] : answers)
    if (std::strcmp(id, name) == 0) return answer;
  return nullptr;
}

void ClapHost::rescan(std::uint32_t flags) {
  if (flags & CLAP_PARAM_RESCAN_VALUES) ++valueRescans_;
}

void ClapHost::log(clap_log_severity severity, const char* text) {
  std::lock_guard<std::mutex> lock(mutex_);
  log_.push_back(std::to_string(severity) + ": " + (text ? text : ""));
}

bool ClapHost::registerTimer(std::uint32_t periodMs, clap_id* id) {
  if (!id) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  *id = nextTimer_++;
  timers_.push_back({*id, periodMs});
  return true;
}

bool ClapHost::unregisterTimer(clap_id id) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
  if (found == timers_.end()) return false;
  timers_.erase(found);
  return true;
}

bool ClapHost::registerDescriptor(int fd) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (fd < 0 || std::find(descriptors_.begin(), descriptors_.end(), fd) != descriptors_.end()) return false;
  descriptors_.push_back(fd);
  return true;
}

bool ClapHost::unregisterDescriptor(int fd) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = std::find(descriptors_.begin(), descriptors_.end(), fd);
  if (found == descriptors_.end()) return false;
  descriptors_.erase(found);
  return true;
}

}  // namespace velmora::host
