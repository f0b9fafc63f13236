#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// Growable little-endian byte buffer in which state travels to and from the
// host. Appends answer the new length (-1 when the buffer would pass
// INT32_MAX bytes); reads at a position answer the next position, or -1 and
// leave the destination untouched when the bytes are not there.
class ChunkBuffer {
 public:
  int PutBytes(const void* data, int size);
  int PutInt32(int32_t v);
  int PutDouble(double v);
  int PutByte(uint8_t v);
  int PutBool(bool v) { return PutByte(v ? 1 : 0); }
  // Length-prefixed text: an int32 byte count, then the bytes, no terminator.
  int PutText(const std::string& text);

  int GetBytes(void* data, int size, int position) const;
  int GetInt32(int32_t* v, int position) const;
  int GetDouble(double* v, int position) const;
  int GetByte(uint8_t* v, int position) const;
  int GetBool(bool* v, int position) const;
  // Reads a text written by PutText. An empty text empties *text; a
  // truncated one leaves it as it was; a negative length marks a damaged
  // chunk (-1).
  int GetText(std::string* text, int position) const;

  // Bytes added by growth are zero; a negative size empties the buffer.
  void Resize(int size);
  void Clear() { mBytes.clear(); }
  uint8_t* Data() { return mBytes.data(); }
  const uint8_t* Data() const { return mBytes.data(); }
  int Size() const { return static_cast<int>(mBytes.size()); }

 private:
  bool Has(int64_t position, int64_t size) const;

  std::vector<uint8_t> mBytes;
};

}  // namespace velmora
