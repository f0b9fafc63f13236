// A user whose profile folder is "C:\users\山田", a name the ANSI code page
// cannot hold (narrow calls see "C:\users\??"): the take lands in that
// roaming folder, and Velmora.dll's drag button offers it. unicode-profile.sh
// runs this in a Wine prefix made for that user.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "ModulePlatform.h"
#include "framework/graphics/raster/PngCodec.h"
#include "framework/plugin/AppDataFolder.h"
#include "framework/plugin/platform/win/WideText.h"
#include "tools/vsthost/VstHost.h"

#include "FileDropTarget.h"
#include "WinTestSupport.h"

#include <shlobj.h>

namespace velmora::wintest {
namespace {

namespace fs = std::filesystem;

const std::string kUser = "\xE5\xB1\xB1\xE7\x94\xB0";  // 山田
const std::string kExportName = "/velmora-midi.mid";

std::string WideRoamingFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return WideToUtf8(path, wcslen(path));
}

std::string Read(const std::string& utf8Path) {
  std::ifstream file(fs::u8path(utf8Path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void Remove(const std::string& utf8Path) {
  std::error_code ignored;
  fs::remove(fs::u8path(utf8Path), ignored);
}

TEST(UnicodeProfile, TheRoamingFolderIsTheUsersInUtf8) {
  const std::string expected = "C:\\users\\" + kUser + "\\AppData\\Roaming";
  ASSERT_EQ(WideRoamingFolder(), expected) << "the Wine prefix has no profile named " << kUser;
  char narrow[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, narrow)));
  ASSERT_NE(std::string(narrow).find('?'), std::string::npos) << "the ANSI code page holds the name: " << narrow;
  EXPECT_EQ(ApplicationDataFolder(), expected);
}

// Velmora.dll's editor in a window of the test host, as VelmoraEditorTest
// drives it: a take recorded from host note 36, then the drag button.
class UnicodeProfileDrag : public ::testing::Test {
 protected:
  void SetUp() override {
    Remove(take);
    const integration::Bytes state = integration::MakeState("scale 36 cell 0 0 0");
    ASSERT_FALSE(state.empty()) << "velmora-make-state failed";
    ASSERT_TRUE(host.load(VELMORA_MODULE)) << host.error();
    host.open();
    host.setSampleRate(44100.0);
    ASSERT_TRUE(host.setBlockSize(256));
    host.resume();
    ASSERT_TRUE(host.setChunk(host::ChunkKind::Program, state));
    ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, parent.Handle()), 1);
    editor = FindWindowExA(parent.Handle(), nullptr, "VelmoraWndClass", nullptr);
    ASSERT_NE(editor, nullptr);
  }
  void TearDown() override {
    if (editor) host.dispatch(effEditClose);
    host.close();
    Remove(take);
  }

  void Process(int blocks) {
    std::thread([&] { host.process(blocks); }).join();
  }

  std::unique_ptr<MemBitmap> Picture(int id) {
    HMODULE module = GetModuleHandleA("Velmora.dll");
    HRSRC resource = module ? FindResourceA(module, MAKEINTRESOURCEA(id), "PNG") : nullptr;
    if (!resource) return nullptr;
    return DecodePng(LockResource(LoadResource(module, resource)), SizeofResource(module, resource));
  }

  // Waits for a pixel where the lit drag button's picture (142) differs
  // from the dimmed one (143) to show the lit one.
  bool DragButtonLit() {
    const std::unique_ptr<MemBitmap> lit = Picture(142), dimmed = Picture(143);
    if (!lit || !dimmed) return false;
    for (int y = 0; y < std::min(lit->Height(), dimmed->Height()); ++y) {
      for (int x = 0; x < std::min(lit->Width(), dimmed->Width()); ++x) {
        const std::uint32_t rgb = lit->Row(y)[x] & 0xffffffu;
        if (lit->Row(y)[x] >> 24 != 0xff || dimmed->Row(y)[x] >> 24 != 0xff || (dimmed->Row(y)[x] & 0xffffffu) == rgb)
          continue;
        const std::size_t at = std::size_t(675 + y) * kWidth + std::size_t(874 + x);
        return PumpUntil([&] { return CaptureWindow(editor, kWidth, kHeight)[at] == rgb; });
      }
    }
    return false;
  }

  static constexpr int kWidth = 964;
  static constexpr int kHeight = 709;
  const std::string take = WideRoamingFolder() + kExportName;
  host::VstHost host;
  HostWindow parent{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  HWND editor = nullptr;
};

TEST_F(UnicodeProfileDrag, TheTakeIsOfferedWithItsWidePath) {
  RecordATake(host, [&](int blocks) { Process(blocks); });
  ASSERT_TRUE(PumpUntil([&] { return fs::exists(fs::u8path(take)); })) << "no take in " << take;
  ASSERT_TRUE(DragButtonLit()) << "no drag button";

  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  FileDropTarget target;
  ASSERT_EQ(RegisterDragDrop(parent.Handle(), &target), S_OK);
  SetCursorPos(892, 683);
  PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(892, 683));
  const bool dropped = PumpUntil([&] { return !target.dropped.empty(); });
  PostMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(892, 683));
  RevokeDragDrop(parent.Handle());
  OleUninitialize();
  ASSERT_TRUE(dropped) << "nothing dropped";
  EXPECT_TRUE(target.wide);
  // The take's own file, in the takes folder of the profile.
  const fs::path offered = fs::u8path(target.dropped);
  EXPECT_EQ(offered.parent_path(), fs::u8path("C:\\users\\" + kUser + "\\AppData\\Roaming\\velmora-takes")) << target.dropped;
  EXPECT_EQ(offered.filename().u8string().rfind("velmora-take-", 0), 0u) << target.dropped;
  EXPECT_EQ(Read(target.dropped).substr(0, 4), "MThd");
}

}  // namespace
}  // namespace velmora::wintest
