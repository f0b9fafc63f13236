#include "tools/vsthost/Vst3Host.h"

#include "tools/vsthost/Vst3HostParts.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <utility>

namespace velmora::host {
namespace {

namespace fs = std::filesystem;

#if defined(_WIN32)
constexpr const char* kArchFolder = "x86_64-win";
constexpr const char* kBinarySuffix = ".vst3";
constexpr const char* kWindowType = "HWND";
#else
constexpr const char* kArchFolder = "x86_64-linux";
constexpr const char* kBinarySuffix = ".so";
constexpr const char* kWindowType = "X11EmbedWindowID";
#endif

using GetFactoryProc = vst3::IPluginFactory* VST3_API (*)();
using ModuleEntryProc = bool (*)(void*);
using ModuleExitProc = bool (*)();

std::string narrow(const vst3::char16* text, std::size_t units) {
  std::string out;
  for (std::size_t i = 0; i < units && text[i]; ++i) out += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
  return out;
}

std::string hex(const char* id) {
  static const char* const kDigits = "0123456789ABCDEF";
  std::string out;
  for (int i = 0; i < 16; ++i) {
    const auto byte = static_cast<std::uint8_t>(id[i]);
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
  }
  return out;
}

// The binary a path stands for: inside a bundle, where its platform keeps it.
std::string binaryOf(const std::string& path) {
  const fs::path bundle(path);
  if (!fs::is_directory(bundle)) return path;
  const std::string stem = bundle.stem().string();
  const std::string file = stem + kBinarySuffix;
  return (bundle / "Contents" / kArchFolder / file).string();
}

}  // namespace

template <typename Interface>
Interface* Vst3Host::query(vst3::FUnknown* object) const {
  void* found = nullptr;
  if (!object || object->queryInterface(Interface::kIid.bytes, &found) != vst3::kResultOk) return nullptr;
  return static_cast<Interface*>(found);
}

Vst3Host::Vst3Host() : parts_(std::make_unique<Vst3HostParts>(*this)), uiThread_(std::this_thread::get_id()) {}

Vst3Host::~Vst3Host() { close(); }

bool Vst3Host::fail(const std::string& message) {
  error_ = message;
  return false;
}

vst3::FUnknown* Vst3Host::hostContext() const {
  return static_cast<vst3::IHostApplication*>(&parts_->application);
}

bool Vst3Host::load(const std::string& path) {
  close();
  uiThread_ = std::this_thread::get_id();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    timers_.clear();
    descriptors_.clear();
  }
  if (!openModule(path)) return false;
  if (!createInstances()) {
    const std::string reason = error_;
    close();
    return fail(reason);
  }
  blocksProcessed_ = 0;
  songSamples_ = 0;
  error_.clear();
  return true;
}

bool Vst3Host::openModule(const std::string& path) {
  if (!module_.load(binaryOf(path))) return fail(module_.error());
  auto getFactory = reinterpret_cast<GetFactoryProc>(module_.symbol("GetPluginFactory"));
#if defined(_WIN32)
  if (auto init = reinterpret_cast<bool (*)()>(module_.symbol("InitDll"))) {
    if (!init()) return fail(path + ": InitDll failed");
  }
#else
  // The reference host refuses a Linux module without all three.
  auto entry = reinterpret_cast<ModuleEntryProc>(module_.symbol("ModuleEntry"));
  auto exit = reinterpret_cast<ModuleExitProc>(module_.symbol("ModuleExit"));
  if (!entry || !exit || !getFactory) {
    module_.unload();
    return fail(path + ": GetPluginFactory, ModuleEntry or ModuleExit missing");
  }
  if (!entry(module_.handle())) return fail(path + ": ModuleEntry failed");
#endif
  factory_ = getFactory ? getFactory() : nullptr;
  if (!factory_) return fail(path + ": no factory");
  if (auto* factory3 = query<vst3::IPluginFactory3>(factory_)) {
    factory3->setHostContext(hostContext());
    factory3->release();
  }
  return true;
}

bool Vst3Host::createInstances() {
  vst3::PClassInfo info{};
  bool found = false;
  for (vst3::int32 i = 0; i < factory_->countClasses() && !found; ++i)
    found = factory_->getClassInfo(i, &info) == vst3::kResultOk &&
            std::string(info.category) == vst3::kVstAudioEffectClass;
  if (!found) return fail("no audio module class");
  void* made = nullptr;
  if (factory_->createInstance(info.cid, vst3::IComponent::kIid.bytes, &made) != vst3::kResultOk || !made)
    return fail("the processor class made nothing");
  component_ = static_cast<vst3::IComponent*>(made);
  if (component_->initialize(hostContext()) != vst3::kResultOk) return fail("the processor's initialize failed");
  processor_ = query<vst3::IAudioProcessor>(component_);
  vst3::TUID controllerId{};
  made = nullptr;
  if (component_->getControllerClassId(controllerId) != vst3::kResultTrue ||
      factory_->createInstance(controllerId, vst3::IEditController::kIid.bytes, &made) != vst3::kResultOk || !made)
    return fail("no controller");
  controller_ = static_cast<vst3::IEditController*>(made);
  if (controller_->initialize(hostContext()) != vst3::kResultOk) return fail("the controller's initialize failed");
  controller_->setComponentHandler(&parts_->handler);
  // Connected through proxies, as hosts do.
  auto* componentPoint = query<vst3::IConnectionPoint>(component_);
  auto* controllerPoint = query<vst3::IConnectionPoint>(controller_);
  if (!componentPoint || !controllerPoint) return fail("no connection points");
  parts_->toController = std::make_unique<ConnectionProxy>(*this, controllerPoint);
  parts_->toComponent = std::make_unique<ConnectionProxy>(*this, componentPoint);
  const bool connected = componentPoint->connect(parts_->toController.get()) == vst3::kResultTrue &&
                         controllerPoint->connect(parts_->toComponent.get()) == vst3::kResultTrue;
  componentPoint->release();
  controllerPoint->release();
  if (!connected) return fail("connect failed");
  // The controller starts from the processor's state.
  MemoryStream state;
  if (component_->getState(&state) == vst3::kResultOk) {
    state.rewind();
    controller_->setComponentState(&state);
  }
  for (vst3::int32 type : {vst3::kAudio, vst3::kEvent})
    for (vst3::int32 dir : {vst3::kInput, vst3::kOutput})
      for (vst3::int32 i = 0; i < component_->getBusCount(type, dir); ++i) component_->activateBus(type, dir, i, 1);
  return processor_ != nullptr || fail("no audio processor");
}

void Vst3Host::close() {
  closeEditor();
  suspend();
  if (component_ && controller_ && parts_->toController) {
    if (auto* point = query<vst3::IConnectionPoint>(component_)) {
      point->disconnect(parts_->toController.get());
      point->release();
    }
    if (auto* point = query<vst3::IConnectionPoint>(controller_)) {
      point->disconnect(parts_->toComponent.get());
      point->release();
    }
  }
  parts_->toController.reset();
  parts_->toComponent.reset();
  if (controller_) {
    controller_->setComponentHandler(nullptr);
    controller_->terminate();
    controller_->release();
  }
  if (processor_) processor_->release();
  if (component_) {
    component_->terminate();
    component_->release();
  }
  controller_ = nullptr;
  processor_ = nullptr;
  component_ = nullptr;
  if (factory_) factory_->release();
  factory_ = nullptr;
  if (module_.isLoaded()) {
#if !defined(_WIN32)
    if (auto exit = reinterpret_cast<ModuleExitProc>(module_.symbol("ModuleExit"))) exit();
#else
    if (auto exit = reinterpret_cast<bool (*)()>(module_.symbol("ExitDll"))) exit();
#endif
  }
  {
    std::lock_guard<std::mutex> lock(pendingMutex_);
    pending_.clear();
  }
  module_.unload();
}

void Vst3Host::setSampleRate(double rate) {
  const bool wasActive = active_;
  if (wasActive) suspend();
  sampleRate_ = rate;
  if (wasActive) resume();
}

bool Vst3Host::setBlockSize(std::int32_t frames) {
  if (frames < 1 || frames > kMaxBlockSize) return fail("bad block size");
  const bool wasActive = active_;
  if (wasActive) suspend();
  blockSize_ = frames;
  if (wasActive) resume();
  return true;
}

void Vst3Host::resume() {
  if (!processor_ || active_) return;
  vst3::ProcessSetup setup{vst3::kRealtime, vst3::kSample32, blockSize_, sampleRate_};
  if (processor_->setupProcessing(setup) != vst3::kResultOk) return;
  if (component_->setActive(1) != vst3::kResultOk) return;
  processor_->setProcessing(1);
  active_ = true;
}

void Vst3Host::suspend() {
  if (!processor_ || !active_) return;
  processor_->setProcessing(0);
  component_->setActive(0);
  active_ = false;
}

void Vst3Host::setSongPosition(std::int64_t samples) { songSamples_ = samples; }

bool Vst3Host::queueMidi(std::int32_t deltaFrames, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  const int kind = status & 0xF0;
  if (kind != 0x80 && kind != 0x90) return fail("VST 3 takes notes only as events");
  const bool on = kind == 0x90 && data2 > 0;
  return queueNote(deltaFrames, on, static_cast<std::int16_t>(data1 & 0x7F), (data2 & 0x7F) / 127.0f,
                   static_cast<std::int16_t>(status & 0x0F));
}

bool Vst3Host::queueNote(std::int32_t offset, bool on, std::int16_t pitch, float velocity, std::int16_t channel) {
  Queued queued;
  queued.offset = offset;
  vst3::Event& e = queued.event;
  e.busIndex = 0;
  e.type = on ? vst3::Event::kNoteOnEvent : vst3::Event::kNoteOffEvent;
  if (on) {
    e.noteOn = vst3::NoteOnEvent{channel, pitch, 0.0f, velocity, 0, -1};
  } else {
    e.noteOff = vst3::NoteOffEvent{channel, pitch, velocity, -1, 0.0f};
  }
  std::lock_guard<std::mutex> lock(pendingMutex_);
  pending_.push_back(queued);
  return true;
}

bool Vst3Host::queueParamChange(std::int32_t offset, vst3::ParamID id, double normalized) {
  Queued queued;
  queued.offset = offset;
  queued.isParam = true;
  queued.id = id;
  queued.value = normalized;
  std::lock_guard<std::mutex> lock(pendingMutex_);
  pending_.push_back(queued);
  return true;
}

void Vst3Host::fillContext(vst3::ProcessContext& context) const {
  using C = vst3::ProcessContext;
  context = C{};
  context.state = C::kTempoValid | C::kProjectTimeMusicValid | C::kBarPositionValid | C::kTimeSigValid |
                  C::kContTimeValid | (playing_ ? static_cast<vst3::uint32>(C::kPlaying) : 0u);
  context.sampleRate = sampleRate_;
  context.projectTimeSamples = songSamples_;
  context.continousTimeSamples = songSamples_;
  context.tempo = tempo_;
  context.projectTimeMusic = static_cast<double>(songSamples_) * tempo_ / 60.0 / sampleRate_;
  context.barPositionMusic = std::floor(context.projectTimeMusic / 4.0) * 4.0;
  context.timeSigNumerator = 4;
  context.timeSigDenominator = 4;
}

// The events and values that fall into this block, in time order; the
// rest move on.
void Vst3Host::runBlock(std::int32_t frames) {
  parts_->inEvents.clear();
  parts_->inChanges.clear();
  parts_->outEvents.clear();
  parts_->outChanges.clear();
  std::unique_lock<std::mutex> pendingLock(pendingMutex_);
  std::stable_sort(pending_.begin(), pending_.end(),
                   [](const Queued& a, const Queued& b) { return a.offset < b.offset; });
  std::vector<Queued> later;
  for (Queued& queued : pending_) {
    if (queued.offset >= std::max(frames, 1)) {
      queued.offset -= frames;
      later.push_back(queued);
      continue;
    }
    if (queued.isParam) {
      vst3::int32 index = 0;
      if (vst3::IParamValueQueue* queue = parts_->inChanges.addParameterData(queued.id, index))
        queue->addPoint(queued.offset, queued.value, index);
    } else {
      queued.event.sampleOffset = queued.offset;
      parts_->inEvents.addEvent(queued.event);
    }
  }
  pending_ = std::move(later);
  pendingLock.unlock();

  std::vector<float> left(static_cast<std::size_t>(std::max(frames, 1)), 1.0f);
  std::vector<float> right(left);
  float* channels[2] = {left.data(), right.data()};
  vst3::AudioBusBuffers output{};
  output.numChannels = 2;
  output.channelBuffers32 = channels;
  vst3::ProcessContext context;
  fillContext(context);
  vst3::ProcessData data{};
  data.processMode = vst3::kRealtime;
  data.symbolicSampleSize = vst3::kSample32;
  data.numSamples = frames;
  data.numOutputs = frames > 0 ? 1 : 0;
  data.outputs = frames > 0 ? &output : nullptr;
  data.inputParameterChanges = &parts_->inChanges;
  data.outputParameterChanges = &parts_->outChanges;
  data.inputEvents = &parts_->inEvents;
  data.outputEvents = &parts_->outEvents;
  data.processContext = contextAbsent_ ? nullptr : &context;
  processor_->process(data);
  if (frames > 0) {
    peak_ = 0.0f;
    for (std::int32_t i = 0; i < frames; ++i)
      peak_ = std::max({peak_, std::fabs(left[static_cast<std::size_t>(i)]), std::fabs(right[static_cast<std::size_t>(i)])});
    silenceFlagged_ = silenceFlagged_ && output.silenceFlags == 3;
  }
  collectOutputs();
  if (frames > 0) {
    if (playing_) songSamples_ += frames;
    ++blocksProcessed_;
  }
}

// What the plug-in put out; values go to the controller, as hosts do.
void Vst3Host::collectOutputs() {
  const std::int64_t block = blocksProcessed_;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::int32_t last = 0;
    for (const vst3::Event& e : parts_->outEvents.events()) {
      if (e.sampleOffset < last) outputsInOrder_ = false;
      last = e.sampleOffset;
      out_.push_back({block, e});
      if (e.type == vst3::Event::kNoteOnEvent || e.type == vst3::Event::kNoteOffEvent) {
        const bool on = e.type == vst3::Event::kNoteOnEvent;
        const int channel = (on ? e.noteOn.channel : e.noteOff.channel) & 0x0F;
        const int pitch = (on ? e.noteOn.pitch : e.noteOff.pitch) & 0x7F;
        const float velocity = on ? e.noteOn.velocity : e.noteOff.velocity;
        captured_.push_back({block, e.sampleOffset, kVstMidiType,
                             {static_cast<std::uint8_t>((on ? 0x90 : 0x80) | channel), static_cast<std::uint8_t>(pitch),
                              static_cast<std::uint8_t>(std::lround(velocity * 127.0f))}});
      }
    }
  }
  for (vst3::int32 q = 0; q < parts_->outChanges.getParameterCount(); ++q) {
    ParamQueue& queue = parts_->outChanges.queue(static_cast<std::size_t>(q));
    if (queue.points().empty()) continue;
    const double value = queue.points().back().second;
    if (controller_) controller_->setParamNormalized(queue.getParameterId(), value);
    std::lock_guard<std::mutex> lock(mutex_);
    AutomationRecord record;
    record.kind = AutomationRecord::Kind::Automate;
    record.index = static_cast<std::int32_t>(queue.getParameterId());
    record.value = static_cast<float>(value);
    automation_.push_back(record);
  }
}

bool Vst3Host::process(std::int32_t blocks) {
  if (!processor_) return fail("no plug-in loaded");
  if (!active_) return fail("the plug-in is not active: resume it before processing");
  for (std::int32_t i = 0; i < blocks; ++i) runBlock(blockSize_);
  return true;
}

bool Vst3Host::flush() {
  if (!processor_ || !active_) return false;
  // Only values go with a flush; events wait for the next block.
  std::vector<Queued> events;
  {
    std::lock_guard<std::mutex> lock(pendingMutex_);
    std::vector<Queued> values;
    for (Queued& queued : pending_) (queued.isParam ? values : events).push_back(queued);
    for (Queued& value : values) value.offset = 0;
    pending_ = std::move(values);
  }
  runBlock(0);
  std::lock_guard<std::mutex> lock(pendingMutex_);
  pending_.insert(pending_.end(), events.begin(), events.end());
  return true;
}

std::vector<Vst3OutEvent> Vst3Host::outEvents() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return out_;
}

std::vector<Vst3OutEvent> Vst3Host::takeOutEvents() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(out_, {});
}

std::vector<CapturedMidi> Vst3Host::capturedMidi() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return captured_;
}

std::vector<CapturedMidi> Vst3Host::takeCapturedMidi() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(captured_, {});
}

std::vector<AutomationRecord> Vst3Host::automation() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return automation_;
}

std::vector<AutomationRecord> Vst3Host::takeAutomation() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(automation_, {});
}

std::vector<Vst3Edit> Vst3Host::edits() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return edits_;
}

std::vector<Vst3Edit> Vst3Host::takeEdits() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(edits_, {});
}

// A host hands an edit to the processor with its next block.
void Vst3Host::recordEdit(Vst3Edit::Kind kind, vst3::ParamID id, double value) {
  const bool main = std::this_thread::get_id() == uiThread_;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    edits_.push_back({kind, id, value, main});
    AutomationRecord record;
    record.kind = kind == Vst3Edit::Kind::Begin   ? AutomationRecord::Kind::BeginEdit
                  : kind == Vst3Edit::Kind::End ? AutomationRecord::Kind::EndEdit
                                                : AutomationRecord::Kind::Automate;
    record.index = static_cast<std::int32_t>(id);
    record.value = static_cast<float>(value);
    automation_.push_back(record);
  }
  if (kind == Vst3Edit::Kind::Perform && main) queueParamChange(0, id, value);
}

void Vst3Host::recordDirty() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++dirtyMarks_;
}

void Vst3Host::recordProgramListChange() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++programListChanges_;
}

void Vst3Host::recordRestart() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++restarts_;
}

void Vst3Host::recordDroppedMessage() { ++droppedMessages_; }

int Vst3Host::dirtyMarks() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return dirtyMarks_;
}

int Vst3Host::programListChanges() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return programListChanges_;
}

int Vst3Host::restarts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return restarts_;
}

int Vst3Host::droppedMessages() const { return droppedMessages_.load(); }

std::int32_t Vst3Host::parameterCount() const { return controller_ ? controller_->getParameterCount() : 0; }

bool Vst3Host::parameterInfo(std::int32_t index, vst3::ParameterInfo& info) const {
  return controller_ && controller_->getParameterInfo(index, info) == vst3::kResultOk;
}

float Vst3Host::parameter(std::int32_t index) const {
  vst3::ParameterInfo info{};
  if (!parameterInfo(index, info)) return 0.0f;
  return static_cast<float>(controller_->getParamNormalized(info.id));
}

bool Vst3Host::setParameter(std::int32_t index, float value) {
  vst3::ParameterInfo info{};
  if (!parameterInfo(index, info)) return fail("no parameter " + std::to_string(index));
  const double normalized = std::clamp(static_cast<double>(value), 0.0, 1.0);
  controller_->setParamNormalized(info.id, normalized);
  queueParamChange(0, info.id, normalized);
  if (active_) flush();
  return true;
}

std::string Vst3Host::parameterName(std::int32_t index) {
  vst3::ParameterInfo info{};
  return parameterInfo(index, info) ? narrow(info.title, 128) : std::string();
}

std::string Vst3Host::valueText(vst3::ParamID id, double normalized) {
  vst3::String128 text{};
  if (!controller_ || controller_->getParamStringByValue(id, normalized, text) != vst3::kResultOk) return {};
  return narrow(text, 128);
}

std::string Vst3Host::parameterDisplay(std::int32_t index) {
  vst3::ParameterInfo info{};
  return parameterInfo(index, info) ? valueText(info.id, controller_->getParamNormalized(info.id)) : std::string();
}

std::string Vst3Host::parameterLabel(std::int32_t index) {
  vst3::ParameterInfo info{};
  return parameterInfo(index, info) ? narrow(info.units, 128) : std::string();
}

std::int32_t Vst3Host::findParameter(const std::string& name) {
  for (std::int32_t i = 0; i < parameterCount(); ++i)
    if (parameterName(i) == name) return i;
  return -1;
}

std::intptr_t Vst3Host::canDo(const std::string& capability) {
  const std::pair<const char*, vst3::Uid> known[] = {
      {"IComponent", vst3::IComponent::kIid},
      {"IAudioProcessor", vst3::IAudioProcessor::kIid},
      {"IProcessContextRequirements", vst3::IProcessContextRequirements::kIid},
      {"IConnectionPoint", vst3::IConnectionPoint::kIid},
      {"IEditController", vst3::IEditController::kIid},
      {"IUnitInfo", vst3::IUnitInfo::kIid},
      {"IMidiMapping", vst3::MakeUid(0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5)},
  };
  for (const auto& [name, iid] : known) {
    if (capability != name) continue;
    for (vst3::FUnknown* object : {static_cast<vst3::FUnknown*>(component_), static_cast<vst3::FUnknown*>(controller_)}) {
      void* found = nullptr;
      if (object && object->queryInterface(iid.bytes, &found) == vst3::kResultOk && found) {
        static_cast<vst3::FUnknown*>(found)->release();
        return 1;
      }
    }
  }
  return 0;
}

bool Vst3Host::getChunk(ChunkKind kind, std::vector<std::uint8_t>& data) {
  if (kind != ChunkKind::Program || !component_) return fail("a VST 3 plug-in saves one state, no bank");
  MemoryStream stream;
  if (component_->getState(&stream) != vst3::kResultOk) return fail("the processor could not save its state");
  data = stream.bytes();
  return true;
}

bool Vst3Host::setChunk(ChunkKind kind, const std::vector<std::uint8_t>& data) {
  if (kind != ChunkKind::Program || !component_) return fail("a VST 3 plug-in loads one state, no bank");
  MemoryStream stream(data);
  if (component_->setState(&stream) != vst3::kResultOk) return fail("the processor refused the state");
  MemoryStream again(data);
  if (controller_->setComponentState(&again) != vst3::kResultOk) return fail("the controller refused the state");
  return true;
}

bool Vst3Host::getControllerState(std::vector<std::uint8_t>& data) {
  MemoryStream stream;
  if (!controller_ || controller_->getState(&stream) != vst3::kResultOk) return false;
  data = stream.bytes();
  return true;
}

bool Vst3Host::setControllerState(const std::vector<std::uint8_t>& data) {
  MemoryStream stream(data);
  return controller_ && controller_->setState(&stream) == vst3::kResultOk;
}

void Vst3Host::describe(std::ostream& out) {
  if (!factory_) return;
  vst3::PFactoryInfo factoryInfo{};
  factory_->getFactoryInfo(&factoryInfo);
  out << "vendor         " << factoryInfo.vendor << '\n' << "url            " << factoryInfo.url << '\n';
  auto* factory2 = query<vst3::IPluginFactory2>(factory_);
  for (vst3::int32 i = 0; i < factory_->countClasses(); ++i) {
    vst3::PClassInfo2 info{};
    if (!factory2 || factory2->getClassInfo2(i, &info) != vst3::kResultOk) continue;
    out << "class          " << info.name << " (" << info.category << ") " << hex(info.cid) << '\n'
        << "  sub-categories " << info.subCategories << ", version " << info.version << ", " << info.sdkVersion
        << '\n';
  }
  if (factory2) factory2->release();
  out << "params         " << parameterCount() << '\n';
}

bool Vst3Host::openEditor(std::uintptr_t parent) {
  if (!controller_ || view_) return false;
  view_ = controller_->createView(vst3::kEditorViewName);
  if (!view_) return false;
  vst3::ViewRect size{};
  if (view_->getSize(&size) != vst3::kResultTrue || view_->isPlatformTypeSupported(kWindowType) != vst3::kResultTrue ||
      view_->setFrame(&parts_->frame) != vst3::kResultOk ||
      view_->attached(reinterpret_cast<void*>(parent), kWindowType) != vst3::kResultTrue) {
    view_->setFrame(nullptr);
    view_->release();
    view_ = nullptr;
    return false;
  }
  return true;
}

// The reference host's order: the frame goes first, then the window.
void Vst3Host::closeEditor() {
  if (!view_) return;
  view_->setFrame(nullptr);
  view_->removed();
  view_->release();
  view_ = nullptr;
}

std::vector<Vst3LoopEntry> Vst3Host::timers() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return timers_;
}

std::vector<Vst3LoopEntry> Vst3Host::descriptors() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return descriptors_;
}

void Vst3Host::fireTimers() {
  for (const Vst3LoopEntry& entry : timers()) {
    // Unregistered by an earlier handler of this round: not called.
    const auto current = timers();
    const bool still = std::any_of(current.begin(), current.end(),
                                   [&](const Vst3LoopEntry& e) { return e.handler == entry.handler; });
    if (still) static_cast<vst3::linux_loop::ITimerHandler*>(entry.handler)->onTimer();
  }
}

void Vst3Host::fireDescriptor(int fd) {
  for (const Vst3LoopEntry& entry : descriptors())
    if (entry.fd == fd) static_cast<vst3::linux_loop::IEventHandler*>(entry.handler)->onFDIsSet(fd);
}

bool Vst3Host::registerTimer(vst3::FUnknown* handler, std::uint64_t milliseconds) {
  if (!handler) return false;
  handler->addRef();
  std::lock_guard<std::mutex> lock(mutex_);
  timers_.push_back({handler, milliseconds, -1});
  return true;
}

bool Vst3Host::unregisterTimer(vst3::FUnknown* handler) {
  vst3::FUnknown* found = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto at = std::find_if(timers_.begin(), timers_.end(),
                                 [handler](const Vst3LoopEntry& e) { return e.handler == handler; });
    if (at == timers_.end()) return false;
    found = at->handler;
    timers_.erase(at);
  }
  found->release();
  return true;
}

bool Vst3Host::registerDescriptor(vst3::FUnknown* handler, int fd) {
  if (!handler || fd < 0) return false;
  handler->addRef();
  std::lock_guard<std::mutex> lock(mutex_);
  descriptors_.push_back({handler, 0, fd});
  return true;
}

bool Vst3Host::unregisterDescriptor(vst3::FUnknown* handler) {
  vst3::FUnknown* found = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto at = std::find_if(descriptors_.begin(), descriptors_.end(),
                                 [handler](const Vst3LoopEntry& e) { return e.handler == handler; });
    if (at == descriptors_.end()) return false;
    found = at->handler;
    descriptors_.erase(at);
  }
  found->release();
  return true;
}

}  // namespace velmora::host
