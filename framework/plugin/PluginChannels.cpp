// Channel configurations, channel records and the block adapters of
// IPluginBase.
#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "framework/plugin/IPluginBase.h"

namespace velmora {

namespace {

// Reads an optionally signed decimal number the way "%d" does, saturating
// instead of overflowing; a missing number reads as 0 and consumes nothing.
int32_t ReadCount(const char** text) {
  const char* p = *text;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if (*p < '0' || *p > '9') return 0;
  int64_t v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    v = std::min<int64_t>(v * 10 + (*p - '0'), std::numeric_limits<int32_t>::max());
  }
  *text = p;
  return static_cast<int32_t>(negative ? -v : v);
}

bool ResizeZeroed(std::vector<double>& buffer, size_t frames) {
  try {
    buffer.assign(frames, 0.0);
    return true;
  } catch (const std::bad_alloc&) {
    buffer.clear();
    return false;
  }
}

bool GrowTo(std::vector<double>& buffer, size_t frames) {
  if (buffer.size() >= frames) return true;
  try {
    buffer.resize(frames, 0.0);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

std::vector<ChannelIOPair> ParseChannelIO(const char* text) {
  std::vector<ChannelIOPair> pairs;
  if (!text) return pairs;
  const char* segment = text;
  for (;;) {
    const char* p = segment;
    ChannelIOPair pair;
    pair.inputs = ReadCount(&p);
    if (*p == '-') {
      ++p;
      pair.outputs = ReadCount(&p);
    }
    pairs.push_back(pair);
    const char* blank = std::strchr(segment, ' ');
    if (!blank) break;
    segment = blank + 1;
  }
  return pairs;
}

void IPluginBase::CreateChannels() {
  int inputs = 0;
  int outputs = 0;
  for (const ChannelIOPair& pair : mChannelIOPairs) {
    inputs = std::max(inputs, static_cast<int>(pair.inputs));
    outputs = std::max(outputs, static_cast<int>(pair.outputs));
  }
  inputs = std::min(inputs, kMaxChannels);
  outputs = std::min(outputs, kMaxChannels);
  mInputPtrs.assign(static_cast<size_t>(inputs), nullptr);
  mOutputPtrs.assign(static_cast<size_t>(outputs), nullptr);
  mInChannels.resize(static_cast<size_t>(inputs));
  mOutChannels.resize(static_cast<size_t>(outputs));
}

bool IPluginBase::LegalIO(int inputs, int outputs) const {
  for (const ChannelIOPair& pair : mChannelIOPairs) {
    if ((inputs < 0 || pair.inputs == inputs) && (outputs < 0 || pair.outputs == outputs))
      return true;
  }
  return false;
}

void IPluginBase::LimitToTwoChannels() {
  for (int i = 2; i < NInChannels(); ++i) SetInChannelConnected(i, false);
  for (int i = 2; i < NOutChannels(); ++i) SetOutChannelConnected(i, true);
}

bool IPluginBase::IsInChannelConnected(int index) const {
  return index >= 0 && index < NInChannels() && mInChannels[static_cast<size_t>(index)].connected;
}

bool IPluginBase::IsOutChannelConnected(int index) const {
  return index >= 0 && index < NOutChannels() &&
         mOutChannels[static_cast<size_t>(index)].connected;
}

void IPluginBase::SetInChannelConnected(int index, bool connected) {
  if (index < 0 || index >= NInChannels()) return;
  InputChannel& channel = mInChannels[static_cast<size_t>(index)];
  channel.connected = connected;
  // An unconnected input reads its own scratch, which must be silence.
  if (!connected) std::fill(channel.scratch.begin(), channel.scratch.end(), 0.0);
}

void IPluginBase::SetOutChannelConnected(int index, bool connected) {
  if (index < 0 || index >= NOutChannels()) return;
  OutputChannel& channel = mOutChannels[static_cast<size_t>(index)];
  channel.connected = connected;
  if (!connected) channel.destination = nullptr;
}

const char* IPluginBase::InChannelLabel(int index) const {
  if (index < 0 || index >= NInChannels()) return "";
  return mInChannels[static_cast<size_t>(index)].label.c_str();
}

const char* IPluginBase::OutChannelLabel(int index) const {
  if (index < 0 || index >= NOutChannels()) return "";
  return mOutChannels[static_cast<size_t>(index)].label.c_str();
}

void IPluginBase::SetInChannelLabel(int index, const char* label) {
  if (index >= 0 && index < NInChannels())
    mInChannels[static_cast<size_t>(index)].label = label ? label : "";
}

void IPluginBase::SetOutChannelLabel(int index, const char* label) {
  if (index >= 0 && index < NOutChannels())
    mOutChannels[static_cast<size_t>(index)].label = label ? label : "";
}

void IPluginBase::SetMaxBlockSize(int frames) {
  auto lock = Lock();
  if (frames < 0 || frames == mMaxBlockSize) return;
  size_t n = static_cast<size_t>(frames);
  for (InputChannel& channel : mInChannels) ResizeZeroed(channel.scratch, n);
  for (OutputChannel& channel : mOutChannels) ResizeZeroed(channel.scratch, n);
  mMaxBlockSize = frames;
  mScratchFrames = 0;  // the next block checks the sizes again
}

// Scratch buffers normally hold one maximum block; a host that sends a
// longer block than it announced makes them grow rather than overflow.
bool IPluginBase::EnsureScratch(int frames) {
  if (frames <= mScratchFrames) return true;  // every block once warmed up
  size_t n = static_cast<size_t>(std::max(frames, 0));
  for (InputChannel& channel : mInChannels) {
    if (!GrowTo(channel.scratch, n)) return false;
  }
  for (OutputChannel& channel : mOutChannels) {
    if (!GrowTo(channel.scratch, n)) return false;
  }
  mScratchFrames = frames;
  return true;
}

void IPluginBase::BindScratchSlots() {
  for (size_t i = 0; i < mInChannels.size(); ++i) mInputPtrs[i] = mInChannels[i].scratch.data();
  for (size_t i = 0; i < mOutChannels.size(); ++i) mOutputPtrs[i] = mOutChannels[i].scratch.data();
}

void IPluginBase::AttachInputBuffers(int count, float* const* inputs, int frames) {
  frames = std::max(frames, 0);
  if (!EnsureScratch(frames)) return;
  int next = 0;
  for (int i = 0; i < NInChannels(); ++i) {
    InputChannel& channel = mInChannels[static_cast<size_t>(i)];
    if (!channel.connected) continue;
    // A connected channel the host gave no buffer for hears silence.
    const float* source = (inputs && i < count) ? inputs[next++] : nullptr;
    double* scratch = channel.scratch.data();
    for (int s = 0; s < frames; ++s) scratch[s] = source ? source[s] : 0.0;
  }
}

void IPluginBase::AttachOutputBuffers(int count, float* const* outputs) {
  int next = 0;
  for (OutputChannel& channel : mOutChannels) {
    channel.destination = nullptr;
    if (channel.connected && outputs && next < count) channel.destination = outputs[next++];
  }
}

void IPluginBase::ProcessBuffersFloat(int frames) {
  frames = std::max(frames, 0);
  if (!EnsureScratch(frames)) {
    SilenceOutputs(frames);
    return;
  }
  BindScratchSlots();
  mOutputsSilent = false;
  ProcessBlock(mInputPtrs.data(), mOutputPtrs.data(), frames);
  if (mOutputsSilent)
    SilenceOutputs(frames);
  else
    WriteOutputs(frames, false);
}

void IPluginBase::ProcessBuffersAccumulating(int frames) {
  frames = std::max(frames, 0);
  if (!EnsureScratch(frames)) return;
  BindScratchSlots();
  mOutputsSilent = false;
  ProcessBlock(mInputPtrs.data(), mOutputPtrs.data(), frames);
  if (!mOutputsSilent) WriteOutputs(frames, true);  // adding silence changes nothing
}

namespace {

// Separate loops with non-aliasing pointers so the compiler vectorises them.
void ConvertReplacing(const double* __restrict source, float* __restrict destination, int frames) {
  for (int s = 0; s < frames; ++s) destination[s] = static_cast<float>(source[s]);
}

void ConvertAccumulating(const double* __restrict source, float* __restrict destination,
                         int frames) {
  for (int s = 0; s < frames; ++s) destination[s] += static_cast<float>(source[s]);
}

}  // namespace

void IPluginBase::WriteOutputs(int frames, bool accumulate) {
  for (size_t i = 0; i < mOutChannels.size(); ++i) {
    float* destination = mOutChannels[i].destination;
    if (!mOutChannels[i].connected || !destination) continue;
    if (accumulate)
      ConvertAccumulating(mOutputPtrs[i], destination, frames);
    else
      ConvertReplacing(mOutputPtrs[i], destination, frames);
  }
}

void IPluginBase::SilenceOutputs(int frames) {
  for (OutputChannel& channel : mOutChannels) {
    if (channel.connected && channel.destination)
      std::fill(channel.destination, channel.destination + frames, 0.0f);
  }
}

void IPluginBase::ProcessBuffersDouble(int nInputs, double* const* inputs, int nOutputs,
                                       double* const* outputs, int frames) {
  frames = std::max(frames, 0);
  if (!EnsureScratch(frames)) {
    for (int i = 0; outputs && i < nOutputs; ++i) {
      if (outputs[i]) std::fill(outputs[i], outputs[i] + frames, 0.0);
    }
    return;
  }
  BindScratchSlots();
  int next = 0;
  for (size_t i = 0; i < mInChannels.size(); ++i) {
    if (!mInChannels[i].connected) continue;
    double* host = (inputs && next < nInputs) ? inputs[next++] : nullptr;
    if (host) {
      mInputPtrs[i] = host;
    } else {
      std::fill(mInChannels[i].scratch.begin(), mInChannels[i].scratch.begin() + frames, 0.0);
    }
  }
  next = 0;
  for (size_t i = 0; i < mOutChannels.size(); ++i) {
    if (!mOutChannels[i].connected) continue;
    double* host = (outputs && next < nOutputs) ? outputs[next++] : nullptr;
    if (host) mOutputPtrs[i] = host;
  }
  mOutputsSilent = false;
  ProcessBlock(mInputPtrs.data(), mOutputPtrs.data(), frames);
  if (mOutputsSilent) SilenceOutputSlots(frames);
}

void IPluginBase::SilenceOutputSlots(int frames) {
  for (size_t i = 0; i < mOutChannels.size(); ++i) {
    if (mOutChannels[i].connected && mOutputPtrs[i])
      std::fill(mOutputPtrs[i], mOutputPtrs[i] + frames, 0.0);
  }
}

}  // namespace velmora
