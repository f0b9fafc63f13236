// Feeds arbitrary bytes, as a damaged or hostile project file would, to the
// state readers of the plug-in base.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/plugin/IPluginBase.h"
#include "tests/TestDescriptor.h"

namespace {

class FuzzPlugin : public velmora::IPluginBase {
 public:
  FuzzPlugin()
      : IPluginBase(velmora::PluginHost::None(), velmora::test::TestDescriptor(30, "0-1 0-2", 8, "Velmora", 0x56656C6D)) {
    for (int i = 0; i < NParams(); ++i) GetParam(i)->DefineInt("Choice", -1, 0, 360);
  }
  // Like the plug-in's own state: two texts, then the parameter block.
  bool SaveState(velmora::ChunkBuffer& chunk) override {
    chunk.PutText(mFirst);
    chunk.PutText(mSecond);
    return SerializeParams(chunk);
  }
  int LoadState(const velmora::ChunkBuffer& chunk, int position) override {
    position = chunk.GetText(&mFirst, position);
    position = chunk.GetText(&mSecond, position);
    return UnserializeParams(chunk, position);
  }

 private:
  std::string mFirst;
  std::string mSecond;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmora::ChunkBuffer chunk;
  chunk.PutBytes(data, static_cast<int>(size));
  FuzzPlugin plugin;
  int position = 0;
  if (velmora::IPluginBase::ReadChunkHeader(chunk, &position) >= velmora::FrameworkVersion) {
    plugin.UnserializePresets(chunk, position);
  } else {
    plugin.LoadState(chunk, position);
  }
  velmora::ChunkBuffer out;
  plugin.SerializePresets(out);
  return 0;
}
