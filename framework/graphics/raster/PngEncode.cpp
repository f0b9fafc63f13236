#include <png.h>

#include <fstream>
#include <new>
#include <vector>

#include "framework/graphics/raster/PngCodec.h"

namespace velmora {

namespace {

[[noreturn]] void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

void WriteToMemory(png_structp png, png_bytep data, std::size_t count) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  bool full = false;
  try {
    out->insert(out->end(), data, data + count);
  } catch (const std::bad_alloc&) {
    full = true;
  }
  // png_error longjmps; leaving a handler that way would never release the
  // caught exception, so it is raised once the handler is done.
  if (full) png_error(png, "out of memory");
}

void FlushMemory(png_structp) {}

struct EncodeState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const RasterBitmap* bitmap = nullptr;
  std::vector<unsigned char>* out = nullptr;
  std::vector<png_bytep> rows;
  bool withAlpha = true;
};

// libpng's errors come back here by longjmp (see the decoder).
bool RunEncoder(EncodeState& s) {
  if (setjmp(png_jmpbuf(s.png))) return false;
  png_set_write_fn(s.png, s.out, WriteToMemory, FlushMemory);
  png_set_IHDR(s.png, s.info, png_uint_32(s.bitmap->Width()), png_uint_32(s.bitmap->Height()), 8,
               s.withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(s.png, s.info);
  // Memory holds blue, green, red, alpha; the file wants red first.
  png_set_bgr(s.png);
  if (!s.withAlpha) png_set_filler(s.png, 0, PNG_FILLER_AFTER);
  s.rows.resize(std::size_t(s.bitmap->Height()));
  for (int y = 0; y < s.bitmap->Height(); ++y) s.rows[std::size_t(y)] = reinterpret_cast<png_bytep>(s.bitmap->Row(y));
  png_write_image(s.png, s.rows.data());
  png_write_end(s.png, nullptr);
  return true;
}

}  // namespace

bool EncodePng(const RasterBitmap& bitmap, std::vector<unsigned char>& out, bool withAlpha) {
  out.clear();
  if (!bitmap.Bits() || bitmap.Width() <= 0 || bitmap.Height() <= 0) return false;
  EncodeState state;
  state.bitmap = &bitmap;
  state.out = &out;
  state.withAlpha = withAlpha;
  state.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (!state.png) return false;
  state.info = png_create_info_struct(state.png);
  const bool ok = state.info && RunEncoder(state);
  png_destroy_write_struct(&state.png, state.info ? &state.info : nullptr);
  if (!ok) out.clear();
  return ok;
}

bool WritePng(const RasterBitmap& bitmap, const std::string& path, bool withAlpha) {
  std::vector<unsigned char> bytes;
  if (!EncodePng(bitmap, bytes, withAlpha)) return false;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  file.close();
  return !file.fail();
}

}  // namespace velmora
