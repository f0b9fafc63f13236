#include "framework/plugin/ChunkBuffer.h"

#include <cstring>
#include <limits>

namespace velmora {

namespace {

constexpr int64_t kMaxLength = std::numeric_limits<int32_t>::max();

void StoreLE(uint64_t v, int bytes, uint8_t* out) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t LoadLE(const uint8_t* in, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(in[i]) << (8 * i);
  return v;
}

}  // namespace

bool ChunkBuffer::Has(int64_t position, int64_t size) const {
  return position >= 0 && size >= 0 && position + size <= static_cast<int64_t>(mBytes.size());
}

int ChunkBuffer::PutBytes(const void* data, int size) {
  if (size < 0 || static_cast<int64_t>(mBytes.size()) + size > kMaxLength) return -1;
  if (size > 0 && !data) return -1;
  if (size == 0) return Size();
  // A source inside this buffer moves when it grows: remember where it was.
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  bool ownBytes = !mBytes.empty() && bytes >= mBytes.data() && bytes < mBytes.data() + mBytes.size();
  size_t offset = ownBytes ? static_cast<size_t>(bytes - mBytes.data()) : 0;
  size_t end = mBytes.size();
  mBytes.resize(end + static_cast<size_t>(size));
  if (ownBytes) bytes = mBytes.data() + offset;
  std::memmove(mBytes.data() + end, bytes, static_cast<size_t>(size));
  return Size();
}

int ChunkBuffer::PutInt32(int32_t v) {
  uint8_t bytes[4];
  StoreLE(static_cast<uint32_t>(v), 4, bytes);
  return PutBytes(bytes, 4);
}

int ChunkBuffer::PutDouble(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof(bits));
  uint8_t bytes[8];
  StoreLE(bits, 8, bytes);
  return PutBytes(bytes, 8);
}

int ChunkBuffer::PutByte(uint8_t v) { return PutBytes(&v, 1); }

int ChunkBuffer::PutText(const std::string& text) {
  if (static_cast<int64_t>(mBytes.size()) + 4 + static_cast<int64_t>(text.size()) > kMaxLength)
    return -1;
  PutInt32(static_cast<int32_t>(text.size()));
  return PutBytes(text.data(), static_cast<int>(text.size()));
}

int ChunkBuffer::GetBytes(void* data, int size, int position) const {
  if (!Has(position, size)) return -1;
  if (size > 0) std::memcpy(data, mBytes.data() + position, static_cast<size_t>(size));
  return position + size;
}

int ChunkBuffer::GetInt32(int32_t* v, int position) const {
  if (!Has(position, 4)) return -1;
  *v = static_cast<int32_t>(static_cast<uint32_t>(LoadLE(mBytes.data() + position, 4)));
  return position + 4;
}

int ChunkBuffer::GetDouble(double* v, int position) const {
  if (!Has(position, 8)) return -1;
  uint64_t bits = LoadLE(mBytes.data() + position, 8);
  std::memcpy(v, &bits, sizeof(bits));
  return position + 8;
}

int ChunkBuffer::GetByte(uint8_t* v, int position) const {
  if (!Has(position, 1)) return -1;
  *v = mBytes[static_cast<size_t>(position)];
  return position + 1;
}

int ChunkBuffer::GetBool(bool* v, int position) const {
  uint8_t byte = 0;
  int next = GetByte(&byte, position);
  if (next >= 0) *v = byte != 0;
  return next;
}

int ChunkBuffer::GetText(std::string* text, int position) const {
  int32_t length = 0;
  int start = GetInt32(&length, position);
  if (start < 0 || length < 0) return -1;
  int64_t end = static_cast<int64_t>(start) + length;
  if (end > kMaxLength) return -1;
  if (length == 0) {
    // An empty text read whole is empty: keeping the old content would
    // bring back a text of an earlier state.
    text->clear();
  } else if (Has(start, length)) {
    const char* bytes = reinterpret_cast<const char*>(mBytes.data() + start);
    text->assign(bytes, strnlen(bytes, static_cast<size_t>(length)));
  }
  // A text that runs past the end still moves the position past it, so the
  // next read fails.
  return static_cast<int>(end);
}

void ChunkBuffer::Resize(int size) { mBytes.resize(size > 0 ? static_cast<size_t>(size) : 0, 0); }

}  // namespace velmora
