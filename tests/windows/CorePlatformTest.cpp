// The core's Windows layer: the export folder and replacing files whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/plugin/AppDataFolder.h"
#include "core/platform/FileReplace.h"

#include "WinTestSupport.h"

#include <shlobj.h>

namespace velmora::wintest {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Write(const fs::path& path, const std::string& text) {
  FileReplace file(path.string());
  return file.IsOpen() && file.Append(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()) &&
         file.Commit();
}

int FilesIn(const fs::path& folder) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) count += entry.is_regular_file() ? 1 : 0;
  return count;
}

TEST(AppDataFolderWin, IsTheRoamingApplicationDataFolder) {
  char roaming[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, roaming)));
  EXPECT_EQ(ApplicationDataFolder(), std::string(roaming));
  EXPECT_TRUE(fs::is_directory(ApplicationDataFolder()));
}

class FileReplaceWin : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path folder = fs::temp_directory_path() / "velmora-file-replace";
  fs::path target = folder / "take.mid";
};

TEST_F(FileReplaceWin, WritesAndReplacesWholeFilesWithoutLeftovers) {
  ASSERT_TRUE(Write(target, std::string("MThd\r\n\0x", 8)));
  EXPECT_EQ(Read(target), std::string("MThd\r\n\0x", 8));  // binary: no line-end translation
  ASSERT_TRUE(Write(target, "second"));
  EXPECT_EQ(Read(target), "second");
  EXPECT_EQ(FilesIn(folder), 1);
}

TEST_F(FileReplaceWin, AFileHeldOpenWithoutDeleteSharingKeepsItsContent) {
  ASSERT_TRUE(Write(target, "old"));
  HANDLE held = CreateFileA(target.string().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Write(target, "new"));
  CloseHandle(held);
  EXPECT_EQ(Read(target), "old");
  EXPECT_EQ(FilesIn(folder), 1);
}

TEST_F(FileReplaceWin, AnUncommittedFileLeavesTheTargetAlone) {
  ASSERT_TRUE(Write(target, "kept"));
  {
    FileReplace file(target.string());
    ASSERT_TRUE(file.IsOpen());
    file.Append(reinterpret_cast<const std::uint8_t*>("lost"), 4);
  }
  EXPECT_EQ(Read(target), "kept");
  EXPECT_EQ(FilesIn(folder), 1);
}

}  // namespace
}  // namespace velmora::wintest
