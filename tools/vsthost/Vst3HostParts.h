#pragma once

// The host objects Vst3Host hands to a plug-in: its context, messages,
// connection proxies, component handler, streams, event and parameter
// lists, and the editor's frame with its run loop.
#include "framework/plugin/vst3/Vst3Abi.h"
#include "tools/vsthost/Vst3Host.h"

#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora::host {

namespace vst3 = velmora::vst3;

inline bool sameId(const char* iid, const vst3::Uid& uid) {
  return iid != nullptr && std::memcmp(iid, uid.bytes, 16) == 0;
}

class HostAttributes final : public vst3::IAttributeList {
public:
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_API addRef() override { return ++count_; }
  vst3::uint32 VST3_API release() override;
  vst3::tresult VST3_API setInt(vst3::AttrID id, vst3::int64 value) override;
  vst3::tresult VST3_API getInt(vst3::AttrID id, vst3::int64& value) override;
  vst3::tresult VST3_API setFloat(vst3::AttrID id, double value) override;
  vst3::tresult VST3_API getFloat(vst3::AttrID id, double& value) override;
  vst3::tresult VST3_API setString(vst3::AttrID id, const vst3::TChar* string) override;
  vst3::tresult VST3_API getString(vst3::AttrID id, vst3::TChar* string, vst3::uint32 sizeInBytes) override;
  vst3::tresult VST3_API setBinary(vst3::AttrID id, const void* data, vst3::uint32 sizeInBytes) override;
  vst3::tresult VST3_API getBinary(vst3::AttrID id, const void*& data, vst3::uint32& sizeInBytes) override;

private:
  ~HostAttributes() = default;
  std::atomic<std::uint32_t> count_{1};
  std::map<std::string, vst3::int64> ints_;
  std::map<std::string, double> floats_;
  std::map<std::string, std::u16string> strings_;
  std::map<std::string, std::vector<std::uint8_t>> binaries_;
};

class HostMessage final : public vst3::IMessage {
public:
  HostMessage();
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_API addRef() override { return ++count_; }
  vst3::uint32 VST3_API release() override;
  vst3::FIDString VST3_API getMessageID() override { return id_.c_str(); }
  void VST3_API setMessageID(vst3::FIDString id) override { id_ = id ? id : ""; }
  vst3::IAttributeList* VST3_API getAttributes() override { return attributes_; }

private:
  ~HostMessage() { attributes_->release(); }
  std::atomic<std::uint32_t> count_{1};
  std::string id_;
  HostAttributes* attributes_;
};

// The host's objects that live as long as the host: they count references
// but never delete themselves.
class HostApplication final : public vst3::IHostApplication, public vst3::IPlugInterfaceSupport {
public:
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_API addRef() override { return ++count_; }
  vst3::uint32 VST3_API release() override { return --count_; }
  vst3::tresult VST3_API getName(vst3::String128 name) override;
  vst3::tresult VST3_API createInstance(vst3::TUID cid, vst3::TUID iid, void** obj) override;
  vst3::tresult VST3_API isPlugInterfaceSupported(const vst3::TUID iid) override;

private:
  std::atomic<std::uint32_t> count_{1};
};

// Stands between processor and controller, as the reference host's proxy
// does: messages from any thread but the UI thread are dropped.
class ConnectionProxy final : public vst3::IConnectionPoint {
public:
  ConnectionProxy(Vst3Host& host, vst3::IConnectionPoint* destination) : host_(host), destination_(destination) {}
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_API addRef() override { return ++count_; }
  vst3::uint32 VST3_API release() override { return --count_; }
  vst3::tresult VST3_API connect(vst3::IConnectionPoint*) override { return vst3::kResultTrue; }
  vst3::tresult VST3_API disconnect(vst3::IConnectionPoint*) override { return vst3::kResultTrue; }
  vst3::tresult VST3_API notify(vst3::IMessage* message) override;
  void cut() { destination_ = nullptr; }

private:
  Vst3Host& host_;
  vst3::IConnectionPoint* destination_;
  std::atomic<std::uint32_t> count_{1};
};

class ComponentHandler final : public vst3::IComponentHandler,
                               public vst3::IComponentHandler2,
                               public vst3::IUnitHandler {
public:
  explicit ComponentHandler(Vst3Host& host) : host_(host) {}
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_API addRef() override { return ++count_; }
  vst3::uint32 VST3_API release() override { return --count_; }
  vst3::tresult VST3_API beginEdit(vst3::ParamID id) override;
  vst3::tresult VST3_API performEdit(vst3::ParamID id, vst3::ParamValue valueNormalized) override;
  vst3::tresult VST3_API endEdit(vst3::ParamID id) override;
  vst3::tresult VST3_API restartComponent(vst3::int32 flags) override;
  vst3::tresult VST3_API setDirty(vst3::TBool state) override;
  vst3::tresult VST3_API requestOpenEditor(vst3::FIDString) override { return vst3::kResultFalse; }
  vst3::tresult VST3_API startGroupEdit() override { return vst3::kResultOk; }
  vst3::tresult VST3_API finishGroupEdit() override { return vst3::kResultOk; }
  vst3::tresult VST3_API notifyUnitSelection(vst3::UnitID) override { return vst3::kResultOk; }
  vst3::tresult VST3_API notifyProgramListChange(vst3::ProgramListID listId, vst3::int32 programIndex) override;

private:
  Vst3Host& host_;
  std::atomic<std::uint32_t> count_{1};
};

// A stream over bytes that moves at most a few of them per call.
class MemoryStream final : public vst3::IBStream {
public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_API addRef() override { return ++count_; }
  vst3::uint32 VST3_API release() override { return --count_; }
  vst3::tresult VST3_API read(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesRead) override;
  vst3::tresult VST3_API write(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesWritten) override;
  vst3::tresult VST3_API seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) override;
  vst3::tresult VST3_API tell(vst3::int64* pos) override;
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  void rewind() { at_ = 0; }

private:
  std::vector<std::uint8_t> bytes_;
  std::size_t at_ = 0;
  std::atomic<std::uint32_t> count_{1};
};

// A fixed list of events: nothing allocates once made.
class EventList final : public vst3::IEventList {
public:
  explicit EventList(std::size_t capacity) { events_.reserve(capacity); }
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_API addRef() override { return ++count_; }
  vst3::uint32 VST3_API release() override { return --count_; }
  vst3::int32 VST3_API getEventCount() override { return static_cast<vst3::int32>(events_.size()); }
  vst3::tresult VST3_API getEvent(vst3::int32 index, vst3::Event& e) override;
  vst3::tresult VST3_API addEvent(vst3::Event& e) override;
  void clear() { events_.clear(); }
  const std::vector<vst3::Event>& events() const { return events_; }

private:
  std::vector<vst3::Event> events_;
  std::atomic<std::uint32_t> count_{1};
};

class ParamQueue final : public vst3::IParamValueQueue {
public:
  explicit ParamQueue(std::size_t capacity) { points_.reserve(capacity); }
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_API addRef() override { return ++count_; }
  vst3::uint32 VST3_API release() override { return --count_; }
  vst3::ParamID VST3_API getParameterId() override { return id_; }
  vst3::int32 VST3_API getPointCount() override { return static_cast<vst3::int32>(points_.size()); }
  vst3::tresult VST3_API getPoint(vst3::int32 index, vst3::int32& sampleOffset, vst3::ParamValue& value) override;
  vst3::tresult VST3_API addPoint(vst3::int32 sampleOffset, vst3::ParamValue value, vst3::int32& index) override;
  void reset(vst3::ParamID id) {
    id_ = id;
    points_.clear();
  }
  const std::vector<std::pair<vst3::int32, double>>& points() const { return points_; }

private:
  vst3::ParamID id_ = 0;
  std::vector<std::pair<vst3::int32, double>> points_;
  std::atomic<std::uint32_t> count_{1};
};

class ParamChanges final : public vst3::IParameterChanges {
public:
  ParamChanges(std::size_t queues, std::size_t points);
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_API addRef() override { return ++count_; }
  vst3::uint32 VST3_API release() override { return --count_; }
  vst3::int32 VST3_API getParameterCount() override { return static_cast<vst3::int32>(used_); }
  vst3::IParamValueQueue* VST3_API getParameterData(vst3::int32 index) override;
  vst3::IParamValueQueue* VST3_API addParameterData(const vst3::ParamID& id, vst3::int32& index) override;
  void clear() { used_ = 0; }
  ParamQueue& queue(std::size_t i) { return *queues_[i]; }

private:
  std::vector<std::unique_ptr<ParamQueue>> queues_;
  std::size_t used_ = 0;
  std::atomic<std::uint32_t> count_{1};
};

class PlugFrame final : public vst3::IPlugFrame, public vst3::linux_loop::IRunLoop {
public:
  explicit PlugFrame(Vst3Host& host) : host_(host) {}
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_API addRef() override { return ++count_; }
  vst3::uint32 VST3_API release() override { return --count_; }
  vst3::tresult VST3_API resizeView(vst3::IPlugView* view, vst3::ViewRect* newSize) override;
  vst3::tresult VST3_API registerEventHandler(vst3::linux_loop::IEventHandler* handler,
                                              vst3::linux_loop::FileDescriptor fd) override;
  vst3::tresult VST3_API unregisterEventHandler(vst3::linux_loop::IEventHandler* handler) override;
  vst3::tresult VST3_API registerTimer(vst3::linux_loop::ITimerHandler* handler,
                                       vst3::linux_loop::TimerInterval milliseconds) override;
  vst3::tresult VST3_API unregisterTimer(vst3::linux_loop::ITimerHandler* handler) override;

private:
  Vst3Host& host_;
  std::atomic<std::uint32_t> count_{1};
};

// Everything above that one host instance keeps.
class Vst3HostParts {
public:
  explicit Vst3HostParts(Vst3Host& host)
      : handler(host), frame(host), inEvents(Vst3Host::kMaxEvents), outEvents(Vst3Host::kMaxEvents),
        inChanges(Vst3Host::kMaxQueues, Vst3Host::kMaxPoints), outChanges(Vst3Host::kMaxQueues, Vst3Host::kMaxPoints) {}
  HostApplication application;
  ComponentHandler handler;
  PlugFrame frame;
  EventList inEvents;
  EventList outEvents;
  ParamChanges inChanges;
  ParamChanges outChanges;
  std::unique_ptr<ConnectionProxy> toController;
  std::unique_ptr<ConnectionProxy> toComponent;
};

}  // namespace velmora::host
