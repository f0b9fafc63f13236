#include "tools/vsthost/Vst3HostParts.h"

#include <algorithm>
#include <thread>

namespace velmora::host {
namespace {

template <typename Interface, typename Object>
bool answer(Object* object, const char* iid, void** obj) {
  if (!sameId(iid, Interface::kIid)) return false;
  *obj = static_cast<Interface*>(object);
  static_cast<Interface*>(object)->addRef();
  return true;
}

vst3::tresult noInterface(void** obj) {
  if (obj) *obj = nullptr;
  return vst3::kNoInterface;
}

}  // namespace

// ---------------------------------------------------------------- messages

vst3::tresult HostAttributes::queryInterface(const vst3::TUID iid, void** obj) {
  if (answer<vst3::FUnknown>(this, iid, obj) || answer<vst3::IAttributeList>(this, iid, obj)) return vst3::kResultOk;
  return noInterface(obj);
}

vst3::uint32 HostAttributes::release() {
  const std::uint32_t left = --count_;
  if (left == 0) delete this;
  return left;
}

vst3::tresult HostAttributes::setInt(vst3::AttrID id, vst3::int64 value) {
  if (!id) return vst3::kInvalidArgument;
  ints_[id] = value;
  return vst3::kResultOk;
}

vst3::tresult HostAttributes::getInt(vst3::AttrID id, vst3::int64& value) {
  const auto found = id ? ints_.find(id) : ints_.end();
  if (found == ints_.end()) return vst3::kResultFalse;
  value = found->second;
  return vst3::kResultOk;
}

vst3::tresult HostAttributes::setFloat(vst3::AttrID id, double value) {
  if (!id) return vst3::kInvalidArgument;
  floats_[id] = value;
  return vst3::kResultOk;
}

vst3::tresult HostAttributes::getFloat(vst3::AttrID id, double& value) {
  const auto found = id ? floats_.find(id) : floats_.end();
  if (found == floats_.end()) return vst3::kResultFalse;
  value = found->second;
  return vst3::kResultOk;
}

vst3::tresult HostAttributes::setString(vst3::AttrID id, const vst3::TChar* string) {
  if (!id || !string) return vst3::kInvalidArgument;
  strings_[id] = string;
  return vst3::kResultOk;
}

vst3::tresult HostAttributes::getString(vst3::AttrID id, vst3::TChar* string, vst3::uint32 sizeInBytes) {
  const auto found = id ? strings_.find(id) : strings_.end();
  if (found == strings_.end() || !string || sizeInBytes < 2) return vst3::kResultFalse;
  const std::size_t units = std::min<std::size_t>(found->second.size(), sizeInBytes / 2 - 1);
  std::copy_n(found->second.begin(), units, string);
  string[units] = 0;
  return vst3::kResultOk;
}

vst3::tresult HostAttributes::setBinary(vst3::AttrID id, const void* data, vst3::uint32 sizeInBytes) {
  if (!id || (!data && sizeInBytes > 0)) return vst3::kInvalidArgument;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  binaries_[id].assign(bytes, bytes + sizeInBytes);
  return vst3::kResultOk;
}

vst3::tresult HostAttributes::getBinary(vst3::AttrID id, const void*& data, vst3::uint32& sizeInBytes) {
  const auto found = id ? binaries_.find(id) : binaries_.end();
  if (found == binaries_.end()) return vst3::kResultFalse;
  data = found->second.data();
  sizeInBytes = static_cast<vst3::uint32>(found->second.size());
  return vst3::kResultOk;
}

HostMessage::HostMessage() : attributes_(new HostAttributes) {}

vst3::tresult HostMessage::queryInterface(const vst3::TUID iid, void** obj) {
  if (answer<vst3::FUnknown>(this, iid, obj) || answer<vst3::IMessage>(this, iid, obj)) return vst3::kResultOk;
  return noInterface(obj);
}

vst3::uint32 HostMessage::release() {
  const std::uint32_t left = --count_;
  if (left == 0) delete this;
  return left;
}

// ---------------------------------------------------------------- context

vst3::tresult HostApplication::queryInterface(const vst3::TUID iid, void** obj) {
  if (answer<vst3::FUnknown>(static_cast<vst3::IHostApplication*>(this), iid, obj) ||
      answer<vst3::IHostApplication>(this, iid, obj) || answer<vst3::IPlugInterfaceSupport>(this, iid, obj))
    return vst3::kResultOk;
  return noInterface(obj);
}

vst3::tresult HostApplication::getName(vst3::String128 name) {
  const char* text = "Velmora Host";
  std::size_t i = 0;
  for (; text[i]; ++i) name[i] = static_cast<vst3::char16>(text[i]);
  name[i] = 0;
  return vst3::kResultOk;
}

vst3::tresult HostApplication::createInstance(vst3::TUID cid, vst3::TUID iid, void** obj) {
  if (!obj) return vst3::kInvalidArgument;
  if (sameId(cid, vst3::IMessage::kIid) && sameId(iid, vst3::IMessage::kIid)) {
    *obj = static_cast<vst3::IMessage*>(new HostMessage);
    return vst3::kResultOk;
  }
  if (sameId(cid, vst3::IAttributeList::kIid) && sameId(iid, vst3::IAttributeList::kIid)) {
    *obj = static_cast<vst3::IAttributeList*>(new HostAttributes);
    return vst3::kResultOk;
  }
  return noInterface(obj);
}

vst3::tresult HostApplication::isPlugInterfaceSupported(const vst3::TUID iid) {
  const vst3::Uid supported[] = {vst3::IComponent::kIid,      vst3::IAudioProcessor::kIid, vst3::IEditController::kIid,
                                 vst3::IConnectionPoint::kIid, vst3::IUnitInfo::kIid,
                                 vst3::IProcessContextRequirements::kIid};
  for (const vst3::Uid& uid : supported)
    if (sameId(iid, uid)) return vst3::kResultTrue;
  return vst3::kResultFalse;
}

vst3::tresult ConnectionProxy::queryInterface(const vst3::TUID iid, void** obj) {
  if (answer<vst3::FUnknown>(this, iid, obj) || answer<vst3::IConnectionPoint>(this, iid, obj)) return vst3::kResultOk;
  return noInterface(obj);
}

vst3::tresult ConnectionProxy::notify(vst3::IMessage* message) {
  if (!destination_ || !message) return vst3::kResultFalse;
  if (std::this_thread::get_id() != host_.uiThread()) {
    host_.recordDroppedMessage();
    return vst3::kResultFalse;
  }
  return destination_->notify(message);
}

// ---------------------------------------------------------------- handler

vst3::tresult ComponentHandler::queryInterface(const vst3::TUID iid, void** obj) {
  if (answer<vst3::FUnknown>(static_cast<vst3::IComponentHandler*>(this), iid, obj) ||
      answer<vst3::IComponentHandler>(this, iid, obj) || answer<vst3::IComponentHandler2>(this, iid, obj) ||
      answer<vst3::IUnitHandler>(this, iid, obj))
    return vst3::kResultOk;
  return noInterface(obj);
}

vst3::tresult ComponentHandler::beginEdit(vst3::ParamID id) {
  host_.recordEdit(Vst3Edit::Kind::Begin, id, 0.0);
  return vst3::kResultOk;
}

vst3::tresult ComponentHandler::performEdit(vst3::ParamID id, vst3::ParamValue valueNormalized) {
  host_.recordEdit(Vst3Edit::Kind::Perform, id, valueNormalized);
  return vst3::kResultOk;
}

vst3::tresult ComponentHandler::endEdit(vst3::ParamID id) {
  host_.recordEdit(Vst3Edit::Kind::End, id, 0.0);
  return vst3::kResultOk;
}

vst3::tresult ComponentHandler::restartComponent(vst3::int32) {
  host_.recordRestart();
  return vst3::kResultOk;
}

vst3::tresult ComponentHandler::setDirty(vst3::TBool state) {
  if (state) host_.recordDirty();
  return vst3::kResultOk;
}

vst3::tresult ComponentHandler::notifyProgramListChange(vst3::ProgramListID, vst3::int32) {
  host_.recordProgramListChange();
  return vst3::kResultOk;
}

// ---------------------------------------------------------------- stream

vst3::tresult MemoryStream::queryInterface(const vst3::TUID iid, void** obj) {
  if (answer<vst3::FUnknown>(this, iid, obj) || answer<vst3::IBStream>(this, iid, obj)) return vst3::kResultOk;
  return noInterface(obj);
}

vst3::tresult MemoryStream::read(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesRead) {
  if (!buffer || numBytes < 0) return vst3::kInvalidArgument;
  const std::size_t n = std::min<std::size_t>({static_cast<std::size_t>(numBytes),
                                               static_cast<std::size_t>(Vst3Host::kStreamPiece), bytes_.size() - at_});
  if (n > 0) std::memcpy(buffer, bytes_.data() + at_, n);
  at_ += n;
  if (numBytesRead) *numBytesRead = static_cast<vst3::int32>(n);
  return vst3::kResultOk;
}

vst3::tresult MemoryStream::write(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesWritten) {
  if (!buffer || numBytes < 0) return vst3::kInvalidArgument;
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(numBytes), Vst3Host::kStreamPiece);
  if (at_ + n > bytes_.size()) bytes_.resize(at_ + n);
  std::memcpy(bytes_.data() + at_, buffer, n);
  at_ += n;
  if (numBytesWritten) *numBytesWritten = static_cast<vst3::int32>(n);
  return vst3::kResultOk;
}

vst3::tresult MemoryStream::seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) {
  const vst3::int64 base = mode == vst3::IBStream::kIBSeekCur   ? static_cast<vst3::int64>(at_)
                           : mode == vst3::IBStream::kIBSeekEnd ? static_cast<vst3::int64>(bytes_.size())
                                                                : 0;
  if (base + pos < 0) return vst3::kInvalidArgument;
  at_ = static_cast<std::size_t>(base + pos);
  if (result) *result = static_cast<vst3::int64>(at_);
  return vst3::kResultOk;
}

vst3::tresult MemoryStream::tell(vst3::int64* pos) {
  if (!pos) return vst3::kInvalidArgument;
  *pos = static_cast<vst3::int64>(at_);
  return vst3::kResultOk;
}

// ---------------------------------------------------------------- lists

vst3::tresult EventList::queryInterface(const vst3::TUID iid, void** obj) {
  if (answer<vst3::FUnknown>(this, iid, obj) || answer<vst3::IEventList>(this, iid, obj)) return vst3::kResultOk;
  return noInterface(obj);
}

vst3::tresult EventList::getEvent(vst3::int32 index, vst3::Event& e) {
  if (index < 0 || index >= getEventCount()) return vst3::kInvalidArgument;
  e = events_[static_cast<std::size_t>(index)];
  return vst3::kResultOk;
}

vst3::tresult EventList::addEvent(vst3::Event& e) {
  if (events_.size() == events_.capacity()) return vst3::kOutOfMemory;
  events_.push_back(e);
  return vst3::kResultOk;
}

vst3::tresult ParamQueue::queryInterface(const vst3::TUID iid, void** obj) {
  if (answer<vst3::FUnknown>(this, iid, obj) || answer<vst3::IParamValueQueue>(this, iid, obj)) return vst3::kResultOk;
  return noInterface(obj);
}

vst3::tresult ParamQueue::getPoint(vst3::int32 index, vst3::int32& sampleOffset, vst3::ParamValue& value) {
  if (index < 0 || index >= getPointCount()) return vst3::kInvalidArgument;
  sampleOffset = points_[static_cast<std::size_t>(index)].first;
  value = points_[static_cast<std::size_t>(index)].second;
  return vst3::kResultTrue;
}

vst3::tresult ParamQueue::addPoint(vst3::int32 sampleOffset, vst3::ParamValue value, vst3::int32& index) {
  if (points_.size() == points_.capacity()) return vst3::kOutOfMemory;
  index = static_cast<vst3::int32>(points_.size());
  points_.emplace_back(sampleOffset, value);
  return vst3::kResultOk;
}

ParamChanges::ParamChanges(std::size_t queues, std::size_t points) {
  for (std::size_t i = 0; i < queues; ++i) queues_.push_back(std::make_unique<ParamQueue>(points));
}

vst3::tresult ParamChanges::queryInterface(const vst3::TUID iid, void** obj) {
  if (answer<vst3::FUnknown>(this, iid, obj) || answer<vst3::IParameterChanges>(this, iid, obj))
    return vst3::kResultOk;
  return noInterface(obj);
}

vst3::IParamValueQueue* ParamChanges::getParameterData(vst3::int32 index) {
  return index >= 0 && static_cast<std::size_t>(index) < used_ ? queues_[static_cast<std::size_t>(index)].get()
                                                                : nullptr;
}

// One queue per id, as the reference host keeps it.
vst3::IParamValueQueue* ParamChanges::addParameterData(const vst3::ParamID& id, vst3::int32& index) {
  for (std::size_t i = 0; i < used_; ++i) {
    if (queues_[i]->getParameterId() != id) continue;
    index = static_cast<vst3::int32>(i);
    return queues_[i].get();
  }
  if (used_ == queues_.size()) return nullptr;
  queues_[used_]->reset(id);
  index = static_cast<vst3::int32>(used_);
  return queues_[used_++].get();
}

// ---------------------------------------------------------------- frame

vst3::tresult PlugFrame::queryInterface(const vst3::TUID iid, void** obj) {
  if (answer<vst3::FUnknown>(static_cast<vst3::IPlugFrame*>(this), iid, obj) ||
      answer<vst3::IPlugFrame>(this, iid, obj))
    return vst3::kResultOk;
  if (!host_.runLoopWithheld() && answer<vst3::linux_loop::IRunLoop>(this, iid, obj)) return vst3::kResultOk;
  return noInterface(obj);
}

vst3::tresult PlugFrame::resizeView(vst3::IPlugView* view, vst3::ViewRect* newSize) {
  return view && newSize ? view->onSize(newSize) : vst3::kInvalidArgument;
}

vst3::tresult PlugFrame::registerEventHandler(vst3::linux_loop::IEventHandler* handler,
                                              vst3::linux_loop::FileDescriptor fd) {
  return host_.registerDescriptor(handler, fd) ? vst3::kResultOk : vst3::kInvalidArgument;
}

vst3::tresult PlugFrame::unregisterEventHandler(vst3::linux_loop::IEventHandler* handler) {
  return host_.unregisterDescriptor(handler) ? vst3::kResultOk : vst3::kInvalidArgument;
}

vst3::tresult PlugFrame::registerTimer(vst3::linux_loop::ITimerHandler* handler,
                                       vst3::linux_loop::TimerInterval milliseconds) {
  return milliseconds > 0 && host_.registerTimer(handler, milliseconds) ? vst3::kResultOk : vst3::kInvalidArgument;
}

vst3::tresult PlugFrame::unregisterTimer(vst3::linux_loop::ITimerHandler* handler) {
  return host_.unregisterTimer(handler) ? vst3::kResultOk : vst3::kInvalidArgument;
}

}  // namespace velmora::host
