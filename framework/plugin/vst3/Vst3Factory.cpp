// The module's factory: two classes, the processor and its controller, and
// the load counter behind the module's entry points.
#include <cstring>
#include <mutex>
#include <new>

#include "framework/plugin/HostText.h"
#include "framework/plugin/vst3/Vst3Controller.h"
#include "framework/plugin/vst3/Vst3Module.h"
#include "framework/plugin/vst3/Vst3Processor.h"
#include "framework/plugin/vst3/Vst3Support.h"

namespace velmora {

namespace {

using vst3::kResultFalse;
using vst3::kResultOk;

constexpr const char* kSdkVersion = "VST 3.7.14";
constexpr int kClassCount = 2;

std::mutex& EntryLock() {
  static std::mutex lock;
  return lock;
}
int& LoadCount() {
  static int count = 0;
  return count;
}

// Index 0 is the processor, 1 its controller.
struct ClassFacts {
  const vst3::Uid* id;
  const char* category;
  const char* subCategories;
};

bool Facts(vst3::int32 index, ClassFacts* facts) {
  const Vst3ModuleInfo& module = Vst3Module();
  if (index == 0) {
    *facts = {&module.processorId, vst3::kVstAudioEffectClass, module.subCategories};
    return true;
  }
  if (index == 1) {
    *facts = {&module.controllerId, vst3::kVstComponentControllerClass, ""};
    return true;
  }
  return false;
}

// The processor shares memory with its controller (the editor is the
// playing plug-in's): not distributable, so no class flags.
class Vst3Factory final : public vst3::IPluginFactory3 {
 public:
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override {
    if (!obj) return vst3::kInvalidArgument;
    if (Offer<vst3::FUnknown>(this, iid, obj) || Offer<vst3::IPluginFactory>(this, iid, obj) ||
        Offer<vst3::IPluginFactory2>(this, iid, obj) || Offer<vst3::IPluginFactory3>(this, iid, obj))
      return kResultOk;
    *obj = nullptr;
    return vst3::kNoInterface;
  }
  // One factory for the module's life: the count is kept, never acted on.
  vst3::uint32 VST3_API addRef() override { return mRefs.Add(); }
  vst3::uint32 VST3_API release() override { return mRefs.Drop(); }

  vst3::tresult VST3_API getFactoryInfo(vst3::PFactoryInfo* info) override {
    if (!info) return vst3::kInvalidArgument;
    const Vst3ModuleInfo& module = Vst3Module();
    std::memset(info, 0, sizeof *info);
    CopyToHost(info->vendor, module.vendor, sizeof info->vendor);
    CopyToHost(info->url, module.url, sizeof info->url);
    CopyToHost(info->email, module.email, sizeof info->email);
    info->flags = vst3::PFactoryInfo::kUnicode;
    return kResultOk;
  }

  vst3::int32 VST3_API countClasses() override { return kClassCount; }

  vst3::tresult VST3_API getClassInfo(vst3::int32 index, vst3::PClassInfo* info) override {
    ClassFacts facts{};
    if (!info || !Facts(index, &facts)) return vst3::kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    CopyUid(*facts.id, info->cid);
    info->cardinality = vst3::kManyInstances;
    CopyToHost(info->category, facts.category, sizeof info->category);
    CopyToHost(info->name, Vst3Module().name, sizeof info->name);
    return kResultOk;
  }

  vst3::tresult VST3_API getClassInfo2(vst3::int32 index, vst3::PClassInfo2* info) override {
    ClassFacts facts{};
    if (!info || !Facts(index, &facts)) return vst3::kInvalidArgument;
    const Vst3ModuleInfo& module = Vst3Module();
    std::memset(info, 0, sizeof *info);
    CopyUid(*facts.id, info->cid);
    info->cardinality = vst3::kManyInstances;
    CopyToHost(info->category, facts.category, sizeof info->category);
    CopyToHost(info->name, module.name, sizeof info->name);
    CopyToHost(info->subCategories, facts.subCategories, sizeof info->subCategories);
    CopyToHost(info->vendor, module.vendor, sizeof info->vendor);
    CopyToHost(info->version, module.version, sizeof info->version);
    CopyToHost(info->sdkVersion, kSdkVersion, sizeof info->sdkVersion);
    return kResultOk;
  }

  vst3::tresult VST3_API getClassInfoUnicode(vst3::int32 index, vst3::PClassInfoW* info) override {
    ClassFacts facts{};
    if (!info || !Facts(index, &facts)) return vst3::kInvalidArgument;
    const Vst3ModuleInfo& module = Vst3Module();
    std::memset(info, 0, sizeof *info);
    CopyUid(*facts.id, info->cid);
    info->cardinality = vst3::kManyInstances;
    CopyToHost(info->category, facts.category, sizeof info->category);
    CopyToUtf16(info->name, module.name, 64);
    CopyToHost(info->subCategories, facts.subCategories, sizeof info->subCategories);
    CopyToUtf16(info->vendor, module.vendor, 64);
    CopyToUtf16(info->version, module.version, 64);
    CopyToUtf16(info->sdkVersion, kSdkVersion, 64);
    return kResultOk;
  }

  // Nothing of the host's is needed before an editor opens: the editor asks
  // its frame for the run loop.
  vst3::tresult VST3_API setHostContext(vst3::FUnknown* /*context*/) override { return kResultOk; }

  vst3::tresult VST3_API createInstance(vst3::FIDString cid, vst3::FIDString iid, void** obj) override {
    if (!obj) return vst3::kInvalidArgument;
    *obj = nullptr;
    const Vst3ModuleInfo& module = Vst3Module();
    try {
      vst3::FUnknown* made = nullptr;
      if (SameUid(cid, module.processorId)) {
        made = static_cast<vst3::IComponent*>(new Vst3Processor(module));
      } else if (SameUid(cid, module.controllerId)) {
        made = static_cast<vst3::IEditController*>(new Vst3Controller(module));
      } else {
        return vst3::kNoInterface;
      }
      // The host's reference, if it asked for something the class is; the
      // making one goes either way.
      const vst3::tresult result = made->queryInterface(iid, obj);
      made->release();
      return result == kResultOk ? kResultOk : vst3::kNoInterface;
    } catch (...) {
      return vst3::kOutOfMemory;
    }
  }

 private:
  Vst3RefCount mRefs;
};

}  // namespace

vst3::IPluginFactory* Vst3GetFactory() {
  static Vst3Factory factory;
  factory.addRef();
  return &factory;
}

bool Vst3ModuleEnter() {
  std::lock_guard<std::mutex> guard(EntryLock());
  ++LoadCount();
  return true;
}

// One leave too many is refused rather than counted below zero.
bool Vst3ModuleLeave() {
  std::lock_guard<std::mutex> guard(EntryLock());
  if (LoadCount() <= 0) return false;
  --LoadCount();
  return true;
}

}  // namespace velmora
