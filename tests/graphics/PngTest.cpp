#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "RasterTestUtil.h"
#include "framework/graphics/raster/ImageLoader.h"
#include "framework/graphics/raster/PngCodec.h"
#include "framework/graphics/raster/Resources.h"

namespace velmora {
namespace {

using test::At;
using Bytes = std::vector<unsigned char>;

// A PNG written with libpng's own writer, with whatever chunks a case needs.
struct PngImage {
  int width = 1, height = 1, colorType = PNG_COLOR_TYPE_RGB, bitDepth = 8;
  std::vector<Bytes> rows;  // packed samples as stored in the file
  std::vector<png_color> palette;
  Bytes paletteAlpha;
  bool interlace = false;
};

void AppendBytes(png_structp png, png_bytep data, size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void NoFlush(png_structp) {}

Bytes MakePng(const PngImage& image) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows;
  for (const Bytes& row : image.rows) rows.push_back(const_cast<png_bytep>(row.data()));
  if (setjmp(png_jmpbuf(png)) == 0) {
    png_set_write_fn(png, &out, AppendBytes, NoFlush);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), image.bitDepth, image.colorType,
                 image.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!image.palette.empty()) png_set_PLTE(png, info, image.palette.data(), int(image.palette.size()));
    if (!image.paletteAlpha.empty()) {
      png_set_tRNS(png, info, image.paletteAlpha.data(), int(image.paletteAlpha.size()), nullptr);
    }
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
  } else {
    out.clear();
  }
  png_destroy_write_struct(&png, &info);
  return out;
}

TEST(PngDecode, PaletteWithTransparencyGivesPerPixelAlpha) {
  PngImage image;
  image.width = 4;
  image.colorType = PNG_COLOR_TYPE_PALETTE;
  image.bitDepth = 2;  // four pixels packed into one byte
  image.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}};
  image.paletteAlpha = {0, 128, 255};  // the last entry stays opaque
  image.rows = {{0b00011011}};         // indices 0, 1, 2, 3
  const Bytes file = MakePng(image);
  auto bitmap = DecodePng(file.data(), file.size());
  ASSERT_NE(bitmap, nullptr);
  ASSERT_EQ(bitmap->Width(), 4);
  EXPECT_EQ(At(*bitmap, 0, 0), MakePixel(0, 255, 0, 0));
  EXPECT_EQ(At(*bitmap, 1, 0), MakePixel(128, 0, 255, 0));
  EXPECT_EQ(At(*bitmap, 2, 0), MakePixel(255, 0, 0, 255));
  EXPECT_EQ(At(*bitmap, 3, 0), MakePixel(255, 10, 20, 30));
  // Memory order is blue, green, red, alpha.
  const auto* bytes = reinterpret_cast<const unsigned char*>(bitmap->Bits() + 1);
  EXPECT_EQ((Bytes{bytes[0], bytes[1], bytes[2], bytes[3]}), (Bytes{0, 255, 0, 128}));
}

TEST(PngDecode, Grey16BitLoadsAsOpaqueRgb) {
  PngImage image;
  image.width = 3;
  image.colorType = PNG_COLOR_TYPE_GRAY;
  image.bitDepth = 16;
  image.rows = {{0x00, 0x00, 0x80, 0x7f, 0xff, 0xff}};
  const Bytes file = MakePng(image);
  auto bitmap = DecodePng(file.data(), file.size());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(At(*bitmap, 0, 0), MakePixel(255, 0, 0, 0));
  EXPECT_EQ(At(*bitmap, 1, 0), MakePixel(255, 0x80, 0x80, 0x80));
  EXPECT_EQ(At(*bitmap, 2, 0), MakePixel(255, 255, 255, 255));
}

TEST(PngDecode, OtherLayoutsExpandToFourChannels) {
  PngImage grey1;
  grey1.width = 3;
  grey1.colorType = PNG_COLOR_TYPE_GRAY;
  grey1.bitDepth = 1;
  grey1.rows = {{0b10100000}};
  PngImage greyAlpha;
  greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  greyAlpha.rows = {{77, 33}};
  PngImage rgbInterlaced;
  rgbInterlaced.width = 9;
  rgbInterlaced.height = 9;
  rgbInterlaced.interlace = true;
  for (int y = 0; y < 9; ++y) {
    Bytes row;
    for (int x = 0; x < 9; ++x) row.insert(row.end(), {Bytes::value_type(x * 20), Bytes::value_type(y * 20), 7});
    rgbInterlaced.rows.push_back(row);
  }
  Bytes file = MakePng(grey1);
  auto bitmap = DecodePng(file.data(), file.size());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(At(*bitmap, 0, 0), 0xffffffffu);
  EXPECT_EQ(At(*bitmap, 1, 0), 0xff000000u);
  file = MakePng(greyAlpha);
  bitmap = DecodePng(file.data(), file.size());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(At(*bitmap, 0, 0), MakePixel(33, 77, 77, 77));
  file = MakePng(rgbInterlaced);
  bitmap = DecodePng(file.data(), file.size());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(At(*bitmap, 8, 5), MakePixel(255, 160, 100, 7));
}

TEST(PngDecode, DamagedDataGivesNothing) {
  std::mt19937 rng(1);
  MemBitmap source(5, 4);
  test::FillPattern(source, 2);
  Bytes file;
  ASSERT_TRUE(EncodePng(source, file));
  // Cut anywhere before the end chunk; the end chunk itself is never read.
  for (std::size_t n = 0; n < file.size() - 12; ++n) {
    EXPECT_EQ(DecodePng(file.data(), n), nullptr) << n;
  }
  EXPECT_NE(DecodePng(file.data(), file.size() - 12), nullptr);
  for (int i = 0; i < 300; ++i) {
    Bytes damaged = file;
    damaged[8 + rng() % (damaged.size() - 8)] ^= Bytes::value_type(1 + rng() % 255);
    auto bitmap = DecodePng(damaged.data(), damaged.size());  // CRCs catch nearly all of them
    if (bitmap) {
      EXPECT_EQ(bitmap->Width(), 5);
    }
  }
  // A chunk length claiming 2 GiB: refused without reading that far.
  Bytes huge = file;
  const std::size_t idat = std::string(huge.begin(), huge.end()).find("IDAT");
  ASSERT_NE(idat, std::string::npos);
  huge[idat - 4] = 0x7f;
  huge[idat - 3] = huge[idat - 2] = huge[idat - 1] = 0xff;
  EXPECT_EQ(DecodePng(huge.data(), huge.size()), nullptr);
  EXPECT_EQ(DecodePng(nullptr, 100), nullptr);
  const char text[] = "not a picture, just some bytes";
  EXPECT_EQ(DecodePng(text, sizeof text), nullptr);
}

TEST(PngDecode, ImageTooLargeForABitmapGivesNothing) {
  // Signature, header and an empty IDAT: the decoder must stop at the size.
  Bytes header;
  {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) == 0) {
      png_set_write_fn(png, &header, AppendBytes, NoFlush);
      png_set_IHDR(png, info, 1000000, 1000000, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                   PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
      png_write_info(png, info);
    }
    png_destroy_write_struct(&png, &info);
  }
  const unsigned char idat[] = {0, 0, 0, 0, 'I', 'D', 'A', 'T'};
  const uLong crc = crc32(0, idat + 4, 4);
  header.insert(header.end(), idat, idat + 8);
  for (int shift : {24, 16, 8, 0}) header.push_back(Bytes::value_type((crc >> shift) & 0xff));
  MemBitmap into(3, 3);
  EXPECT_FALSE(DecodePngInto(header.data(), header.size(), into));
  EXPECT_EQ(into.Width(), 0);  // the failed resize left it empty, not dangling
  EXPECT_EQ(DecodePng(header.data(), header.size()), nullptr);
}

TEST(PngEncode, RoundTripKeepsEveryPixel) {
  MemBitmap source(13, 7);
  test::FillPattern(source, 8);
  Bytes file;
  ASSERT_TRUE(EncodePng(source, file));
  auto decoded = DecodePng(file.data(), file.size());
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(test::Snapshot(*decoded), test::Snapshot(source));

  ASSERT_TRUE(EncodePng(source, file, false));
  decoded = DecodePng(file.data(), file.size());
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(At(*decoded, 4, 3), At(source, 4, 3) | 0xff000000u);
}

TEST(PngEncode, WritesFilesAndRefusesEmptyBitmaps) {
  MemBitmap source(3, 2);
  test::FillPattern(source, 1);
  const std::string path = ::testing::TempDir() + "raster_round_trip.png";
  ASSERT_TRUE(WritePng(source, path));
  std::ifstream in(path, std::ios::binary);
  const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto decoded = DecodePng(file.data(), file.size());
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(test::Snapshot(*decoded), test::Snapshot(source));
  std::remove(path.c_str());

  MemBitmap empty;
  Bytes out{1, 2, 3};
  EXPECT_FALSE(EncodePng(empty, out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(WritePng(source, "/nonexistent-dir/x.png"));
}

// Pictures embedded into this test executable (see CMakeLists.txt).
constexpr int kRgbaPicture = 7001, kTruncated = 7002, kSevenBytes = 7003, kNotPng = 7004;

TEST(Resources, EmbeddedFilesAreFoundById) {
  const ResourceBytes bytes = FindResource(kRgbaPicture);
  ASSERT_FALSE(bytes.Empty());
  EXPECT_EQ(bytes.size, 86u);
  EXPECT_STREQ(bytes.name, "data/rgba_3x2.png");
  EXPECT_EQ(FindResource(kSevenBytes).size, 7u);
  EXPECT_TRUE(FindResource(12345).Empty());
}

TEST(Resources, LoadBitmapResourceNeedsAPngFileName) {
  for (const char* name : {"resources/img/x.png", "x.PNG", "a.b.Png", ".png"}) {
    auto bitmap = LoadBitmapResource(kRgbaPicture, name);
    ASSERT_NE(bitmap, nullptr) << name;
    EXPECT_EQ(bitmap->Width(), 3);
    EXPECT_EQ(bitmap->Height(), 2);
    EXPECT_EQ(At(*bitmap, 0, 0), MakePixel(255, 255, 0, 0));
    EXPECT_EQ(At(*bitmap, 1, 0), MakePixel(128, 0, 255, 0));
    EXPECT_EQ(At(*bitmap, 1, 1), MakePixel(50, 200, 150, 100));
  }
  for (const char* name : {"x.jpg", "png", "x.png.bak", "x.pngg", "", "x.pn"}) {
    EXPECT_EQ(LoadBitmapResource(kRgbaPicture, name), nullptr) << name;
  }
  for (int id : {kTruncated, kSevenBytes, kNotPng, 12345}) {
    EXPECT_EQ(LoadBitmapResource(id, "x.png"), nullptr) << id;
  }
}

TEST(ImageCache, DecodesOncePerIdAndSkipsFailures) {
  RasterBitmap* first = ImageCache::Load(kRgbaPicture, "resources/img/x.png");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(ImageCache::Load(kRgbaPicture, "resources/img/x.png"), first);
  EXPECT_EQ(ImageCache::Find(kRgbaPicture), first);
  EXPECT_EQ(ImageCache::Load(kNotPng, "x.png"), nullptr);
  EXPECT_EQ(ImageCache::Find(kNotPng), nullptr);
  EXPECT_EQ(ImageCache::Add(kRgbaPicture, std::make_unique<MemBitmap>(1, 1)), first);
}

}  // namespace
}  // namespace velmora
