#include "framework/plugin/vst3/Vst3Support.h"

#include <algorithm>
#include <cstring>

namespace velmora {

namespace {

constexpr int32_t kReadPiece = 64 * 1024;

// The four words of an id, whatever the platform's byte order.
void Words(const vst3::Uid& uid, uint32_t words[4]) {
  const auto byte = [&uid](int i) { return static_cast<uint32_t>(static_cast<uint8_t>(uid.bytes[i])); };
  for (int w = 2; w < 4; ++w)
    words[w] = byte(4 * w) << 24 | byte(4 * w + 1) << 16 | byte(4 * w + 2) << 8 | byte(4 * w + 3);
#if VST3_COM_IDS
  words[0] = byte(3) << 24 | byte(2) << 16 | byte(1) << 8 | byte(0);
  words[1] = byte(5) << 24 | byte(4) << 16 | byte(7) << 8 | byte(6);
#else
  for (int w = 0; w < 2; ++w)
    words[w] = byte(4 * w) << 24 | byte(4 * w + 1) << 16 | byte(4 * w + 2) << 8 | byte(4 * w + 3);
#endif
}

}  // namespace

bool SameUid(const char* id, const vst3::Uid& uid) {
  return id != nullptr && std::memcmp(id, uid.bytes, sizeof uid.bytes) == 0;
}

void CopyUid(const vst3::Uid& uid, char* destination) {
  if (destination) std::memcpy(destination, uid.bytes, sizeof uid.bytes);
}

std::string UidText(const vst3::Uid& uid) {
  uint32_t words[4];
  Words(uid, words);
  static const char* const kDigits = "0123456789ABCDEF";
  std::string text;
  for (uint32_t word : words)
    for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(word >> shift) & 0xF];
  return text;
}

bool Vst3RefCount::AddUnlessGone() {
  uint32_t count = mCount.load(std::memory_order_acquire);
  while (count != 0) {
    if (mCount.compare_exchange_weak(count, count + 1, std::memory_order_acq_rel)) return true;
  }
  return false;
}

void CopyToUtf16(vst3::char16* destination, const char* text, size_t capacity) {
  if (!destination || capacity == 0) return;
  size_t out = 0;
  const auto* s = reinterpret_cast<const uint8_t*>(text ? text : "");
  while (*s && out + 1 < capacity) {
    uint32_t code = *s++;
    int more = code >= 0xF0 ? 3 : code >= 0xE0 ? 2 : code >= 0xC0 ? 1 : 0;
    if (more) code &= 0x3F >> more;
    for (; more > 0 && (*s & 0xC0) == 0x80; --more) code = code << 6 | (*s++ & 0x3F);
    if (more > 0 || code > 0x10FFFF) code = 0xFFFD;  // a broken sequence
    if (code >= 0x10000) {
      if (out + 2 >= capacity) break;
      code -= 0x10000;
      destination[out++] = static_cast<vst3::char16>(0xD800 + (code >> 10));
      destination[out++] = static_cast<vst3::char16>(0xDC00 + (code & 0x3FF));
    } else {
      destination[out++] = static_cast<vst3::char16>(code);
    }
  }
  destination[out] = 0;
}

std::string FromUtf16(const vst3::char16* text, size_t maxUnits) {
  std::string out;
  if (!text) return out;
  for (size_t i = 0; i < maxUnits && text[i]; ++i) {
    uint32_t code = text[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < maxUnits && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | code >> 6);
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | code >> 12);
      out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | code >> 18);
      out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

bool ReadWholeStream(vst3::IBStream* stream, std::vector<uint8_t>& bytes, int64_t limit) {
  if (!stream) return false;
  for (;;) {
    const size_t used = bytes.size();
    if (static_cast<int64_t>(used) >= limit) return false;
    bytes.resize(used + kReadPiece);
    vst3::int32 got = 0;
    const vst3::tresult result = stream->read(bytes.data() + used, kReadPiece, &got);
    if (got < 0 || got > kReadPiece) return false;
    bytes.resize(used + static_cast<size_t>(got));
    // The end: nothing more, whatever the stream answers about it (some
    // answer kResultFalse there). A stream that fails with bytes is broken.
    if (got == 0) return true;
    if (result != vst3::kResultOk) return false;
  }
}

bool WriteWholeStream(vst3::IBStream* stream, const uint8_t* data, size_t size) {
  if (!stream) return false;
  while (size > 0) {
    const auto piece = static_cast<vst3::int32>(std::min<size_t>(size, 1 << 30));
    vst3::int32 written = 0;
    const vst3::tresult result = stream->write(const_cast<uint8_t*>(data), piece, &written);
    if (result != vst3::kResultOk || written <= 0 || written > piece) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace velmora
