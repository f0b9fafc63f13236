#include "framework/plugin/vst2/HostIdentity.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

namespace velmora {

namespace {

struct KnownHost {
  const char* name;  // lower case
  HostCode code;
};

// The order decides between texts that name two hosts.
constexpr KnownHost kKnownHosts[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostCakewalk},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFruity},
    {"live", kHostLive},
    {"melodyne", kHostMelodyne},
    {"vstmanlib", kHostVstManLib},
    {"aulab", kHostAuLab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSawStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigital},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostPreSonus},
    {"vst3plugintesthost", kHostVst3PluginTestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"openmpt", kHostOpenMpt},
    {"renoise", kHostRenoise},
    {"standalone", kHostStandalone},
};

// ASCII only: the host's locale must not change what we recognise.
std::string LowerCase(const char* text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace

HostCode HostCodeFromProduct(const char* product) {
  if (!product || !*product) return kHostUnknown;
  std::string lower = LowerCase(product);
  for (const KnownHost& host : kKnownHosts) {
    if (lower.find(host.name) != std::string::npos) return host.code;
  }
  return kHostUnknown;
}

int32_t PackHostVersion(intptr_t decimal) {
  int64_t d = std::clamp<int64_t>(decimal, 0, std::numeric_limits<int32_t>::max());
  // Unsigned so that an absurd major number wraps instead of overflowing.
  uint32_t packed = (static_cast<uint32_t>(d / 10000) << 16) +
                    (static_cast<uint32_t>((d % 10000) / 100) << 8) +
                    static_cast<uint32_t>(d % 100);
  return static_cast<int32_t>(packed);
}

}  // namespace velmora
