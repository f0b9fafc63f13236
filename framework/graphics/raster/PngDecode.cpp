#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/graphics/raster/PngCodec.h"

namespace velmora {

namespace {

struct MemoryReader {
  const unsigned char* data;
  std::size_t length;
  std::size_t position;
  std::size_t overrun;  // zero bytes handed out past the end
};

// A damaged chunk length could otherwise have libpng skip gigabytes of zeros.
constexpr std::size_t kMaxOverrun = 1024;

// Bytes past the end read as 0; libpng then fails on the damaged chunk.
void ReadFromMemory(png_structp png, png_bytep out, std::size_t count) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  const std::size_t available = std::min(count, reader->length - reader->position);
  std::memcpy(out, reader->data + reader->position, available);
  std::memset(out + available, 0, count - available);
  reader->position += available;
  reader->overrun += count - available;
  if (reader->overrun > kMaxOverrun) png_error(png, "read past the end");
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

struct DecodeState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  MemoryReader reader{};
  MemBitmap* bitmap = nullptr;
  std::vector<png_bytep> rows;
};

// Every expansion that makes four 8-bit samples, alpha first.
void RequestArgb(png_structp png, png_infop info) {
  const int colorType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  bool hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
    hasAlpha = true;
  }
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (hasAlpha) {
    png_set_swap_alpha(png);
  } else {
    png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
}

// libpng's errors come back here by longjmp; all state lives in the caller's
// DecodeState so nothing in this frame is left half-changed.
bool RunDecoder(DecodeState& s) {
  if (setjmp(png_jmpbuf(s.png))) return false;
  png_set_read_fn(s.png, &s.reader, ReadFromMemory);
  png_read_info(s.png, s.info);
  RequestArgb(s.png, s.info);
  const png_uint_32 width = png_get_image_width(s.png, s.info);
  const png_uint_32 height = png_get_image_height(s.png, s.info);
  if (width > 0x7fffffffu || height > 0x7fffffffu) return false;
  if (png_get_rowbytes(s.png, s.info) != std::size_t(width) * 4u) return false;
  s.bitmap->Resize(int(width), int(height));
  if (s.bitmap->Width() != int(width) || s.bitmap->Height() != int(height)) return false;
  s.rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) s.rows[y] = reinterpret_cast<png_bytep>(s.bitmap->Row(int(y)));
  png_read_image(s.png, s.rows.data());
  return true;
}

// Alpha, red, green, blue bytes become blue, green, red, alpha.
void ReverseChannels(MemBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    Pixel* row = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      const Pixel p = row[x];
      row[x] = (p >> 24) | ((p >> 8) & 0xff00u) | ((p << 8) & 0xff0000u) | (p << 24);
    }
  }
}

}  // namespace

bool DecodePngInto(const void* data, std::size_t length, MemBitmap& bitmap) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (!bytes || length <= 7 || png_sig_cmp(bytes, 0, 8) != 0) return false;
  DecodeState state;
  state.reader = {bytes, length, 0, 0};
  state.bitmap = &bitmap;
  state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (!state.png) return false;
  state.info = png_create_info_struct(state.png);
  const bool ok = state.info && RunDecoder(state);
  png_destroy_read_struct(&state.png, state.info ? &state.info : nullptr, nullptr);
  if (ok) ReverseChannels(bitmap);
  return ok;
}

std::unique_ptr<MemBitmap> DecodePng(const void* data, std::size_t length) {
  auto bitmap = std::make_unique<MemBitmap>();
  if (!DecodePngInto(data, length, *bitmap)) return nullptr;
  return bitmap;
}

}  // namespace velmora
