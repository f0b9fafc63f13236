// Linux fonts: fontconfig resolves the face ("Arial" -> Liberation Sans,
// "Verdana" -> DejaVu Sans on Debian), FreeType rasterises the characters.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <cstdlib>
#include <memory>
#include <mutex>

#include "framework/graphics/platform/linux/FontMatch.h"
#include "framework/graphics/raster/PlatformTypeface.h"

namespace velmora {

namespace {

// One FreeType library per process; faces are made and freed under its lock
// and keep it alive until the last of them is gone.
struct FreeTypeLibrary {
  FT_Library library = nullptr;
  std::mutex lock;
  ~FreeTypeLibrary() {
    if (library) FT_Done_FreeType(library);
  }
};

std::shared_ptr<FreeTypeLibrary> SharedLibrary() {
  static std::mutex creation;
  static std::shared_ptr<FreeTypeLibrary> shared;
  std::lock_guard<std::mutex> guard(creation);
  if (!shared) {
    auto made = std::make_shared<FreeTypeLibrary>();
    if (FT_Init_FreeType(&made->library) != 0) return nullptr;
    shared = made;
  }
  return shared;
}

bool CopyBitmap(const FT_Bitmap& bitmap, GlyphImage& out) {
  out.width = int(bitmap.width);
  out.height = int(bitmap.rows);
  out.coverage.assign(std::size_t(out.width) * std::size_t(out.height), 0);
  const int pitch = std::abs(bitmap.pitch);
  for (int y = 0; y < out.height; ++y) {
    const unsigned char* src = bitmap.buffer + std::ptrdiff_t(y) * pitch;
    std::uint8_t* dst = out.coverage.data() + std::size_t(y) * std::size_t(out.width);
    for (int x = 0; x < out.width; ++x) {
      if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
        dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
        dst[x] = src[x];
      } else {
        return false;
      }
    }
  }
  return true;
}

class FreeTypeTypeface : public PlatformTypeface {
 public:
  FreeTypeTypeface(std::shared_ptr<FreeTypeLibrary> library, FT_Face face, const FontFile& file, bool mono)
      : mLibrary(std::move(library)), mFace(face), mEmbolden(file.embolden), mMono(mono) {}

  ~FreeTypeTypeface() override {
    std::lock_guard<std::mutex> guard(mLibrary->lock);
    FT_Done_Face(mFace);
  }

  // Cell height as on Windows: positive sizes give ascent + descent = size.
  bool SetSize(int size) {
    FT_Size_RequestRec request{};
    request.type = size > 0 ? FT_SIZE_REQUEST_TYPE_REAL_DIM : FT_SIZE_REQUEST_TYPE_NOMINAL;
    request.height = FT_Long(size > 0 ? size : -size) * 64;
    if (FT_Request_Size(mFace, &request) != 0) return false;
    const FT_Size_Metrics& m = mFace->size->metrics;
    const long cell = long(mFace->ascender) - long(mFace->descender);
    if (size > 0 && cell > 0) {
      mAscent = int((long(size) * mFace->ascender + cell / 2) / cell);
      mDescent = size - mAscent;
    } else {
      mAscent = int((m.ascender + 63) >> 6);
      mDescent = int((-m.descender + 63) >> 6);
    }
    return true;
  }

  void SetSlant(const FontFile& file) {
    if (!file.hasMatrix) return;
    FT_Matrix matrix{FT_Fixed(file.xx * 65536.0), FT_Fixed(file.xy * 65536.0), FT_Fixed(file.yx * 65536.0),
                     FT_Fixed(file.yy * 65536.0)};
    FT_Set_Transform(mFace, &matrix, nullptr);
  }

  int Ascent() const override { return mAscent; }
  int Descent() const override { return mDescent; }
  std::string FamilyName() const override { return mFace->family_name ? mFace->family_name : ""; }

  bool RenderGlyph(std::uint32_t codePoint, GlyphImage& out) override {
    const FT_UInt index = FT_Get_Char_Index(mFace, codePoint);
    if (FT_Load_Glyph(mFace, index, mMono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL) != 0) return false;
    FT_GlyphSlot slot = mFace->glyph;
    if (mEmbolden) FT_GlyphSlot_Embolden(slot);
    if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Render_Glyph(slot, mMono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) {
      return false;
    }
    if (!CopyBitmap(slot->bitmap, out)) return false;
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.advance = int((slot->advance.x + 32) >> 6);
    return true;
  }

 private:
  std::shared_ptr<FreeTypeLibrary> mLibrary;
  FT_Face mFace;
  bool mEmbolden;
  bool mMono;
  int mAscent = 0;
  int mDescent = 0;
};

}  // namespace

std::unique_ptr<PlatformTypeface> CreatePlatformTypeface(const FontRequest& request) {
  if (request.size == 0 || request.size > kMaxFontSize || request.size < -kMaxFontSize) return nullptr;
  FontFile file;
  if (!MatchFontFile(request.face, request.style == 1, request.style == 2, file)) return nullptr;
  std::shared_ptr<FreeTypeLibrary> library = SharedLibrary();
  if (!library) return nullptr;
  FT_Face face = nullptr;
  {
    std::lock_guard<std::mutex> guard(library->lock);
    if (FT_New_Face(library->library, file.path.c_str(), file.index, &face) != 0) return nullptr;
  }
  auto typeface = std::make_unique<FreeTypeTypeface>(library, face, file, request.quality == 1);
  if (!typeface->SetSize(request.size)) return nullptr;
  typeface->SetSlant(file);
  return typeface;
}

}  // namespace velmora
