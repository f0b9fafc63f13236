// Velmora.dll carries the editor's pictures as resources of type "PNG" under
// their integer ids, and each of them decodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "framework/graphics/raster/PngCodec.h"

#include "WinTestSupport.h"

namespace velmora::wintest {
namespace {

TEST(VelmoraDllPictures, EveryPictureIsAPngResourceThatDecodes) {
  std::string path = VELMORA_MODULE;
  std::replace(path.begin(), path.end(), '/', '\\');
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << path;
  for (int id : {VELMORA_PICTURE_IDS}) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), "PNG");
    ASSERT_NE(resource, nullptr) << "picture " << id;
    const DWORD size = SizeofResource(module, resource);
    const void* data = LockResource(LoadResource(module, resource));
    ASSERT_NE(data, nullptr) << "picture " << id;
    const std::unique_ptr<MemBitmap> picture = DecodePng(data, size);
    ASSERT_NE(picture, nullptr) << "picture " << id;
    if (id == 102) {  // the background is the whole panel
      EXPECT_EQ(picture->Width(), 964);
      EXPECT_EQ(picture->Height(), 709);
    }
    if (id == 2102) {  // and drawn at 2x
      EXPECT_EQ(picture->Width(), 1928);
      EXPECT_EQ(picture->Height(), 1418);
    }
  }
  EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(101), "PNG"), nullptr);
  FreeLibrary(module);
}

}  // namespace
}  // namespace velmora::wintest
