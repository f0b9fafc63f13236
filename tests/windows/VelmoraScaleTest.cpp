// Velmora.dll's editor where Windows asks for twice the size: LogPixels 192
// in the registry. Windows reads it when a process starts, so the test sets
// it, runs itself again as the host (a host aware of DPI, as hosts that
// scale are) and puts the old values back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tools/vsthost/VstHost.h"

#include "WinTestSupport.h"

namespace velmora::wintest {
namespace {

using host::VstHost;

constexpr const char* kChildVariable = "VELMORA_SCALE_HOST";

// A DWORD registry value that is put back (or removed) when this goes.
class RegistryValue {
 public:
  RegistryValue(HKEY root, const char* key, const char* name) : mName(name) {
    if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &mKey, nullptr) != ERROR_SUCCESS)
      mKey = nullptr;
    DWORD size = sizeof mOld;
    mHadOld = mKey && RegQueryValueExA(mKey, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&mOld), &size) == ERROR_SUCCESS;
  }
  ~RegistryValue() {
    if (!mKey) return;
    if (mHadOld) Set(mOld);
    else RegDeleteValueA(mKey, mName);
    RegCloseKey(mKey);
  }
  RegistryValue(const RegistryValue&) = delete;
  RegistryValue& operator=(const RegistryValue&) = delete;

  bool Set(DWORD value) {
    return mKey && RegSetValueExA(mKey, mName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
                       ERROR_SUCCESS;
  }

 private:
  HKEY mKey = nullptr;
  const char* mName;
  DWORD mOld = 0;
  bool mHadOld = false;
};

// This program again, running only the host's half of the test.
DWORD RunAsHost() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string command = std::string("\"") + self + "\" --gtest_filter=VelmoraDllScale.HostHalf";
  SetEnvironmentVariableA(kChildVariable, "1");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
  SetEnvironmentVariableA(kChildVariable, nullptr);
  if (!started) return 0xffffffffu;
  WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 0xffffffffu;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

TEST(VelmoraDllScale, OpensAtTwiceTheSizeWithLogPixels192) {
  if (std::getenv(kChildVariable)) GTEST_SKIP() << "the host's half runs";
  RegistryValue desktop(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
  RegistryValue fonts(HKEY_CURRENT_CONFIG, "Software\\Fonts", "LogPixels");
  ASSERT_TRUE(desktop.Set(192));
  ASSERT_TRUE(fonts.Set(192));
  EXPECT_EQ(RunAsHost(), 0u) << "the host's half failed; its output is above";
}

// The host's half: the size the host is told before it opens the editor,
// and the editor's window once open.
TEST(VelmoraDllScale, HostHalf) {
  if (!std::getenv(kChildVariable)) GTEST_SKIP() << "run by OpensAtTwiceTheSizeWithLogPixels192";
  // What a host that scales its own windows has declared.
  SetProcessDPIAware();
  VstHost host;
  ASSERT_TRUE(host.load(VELMORA_MODULE)) << host.error();
  host.open();
  ERect* rect = nullptr;
  ASSERT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 1928);
  EXPECT_EQ(rect->bottom - rect->top, 1418);
  HostWindow parent(0, 0, 1928, 1418);
  ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, parent.Handle()), 1);
  HWND editor = FindWindowExA(parent.Handle(), nullptr, "VelmoraWndClass", nullptr);
  ASSERT_NE(editor, nullptr);
  RECT client{};
  GetClientRect(editor, &client);
  EXPECT_EQ(client.right - client.left, 1928);
  EXPECT_EQ(client.bottom - client.top, 1418);
  host.dispatch(effEditClose, 0, 0, nullptr);
}

}  // namespace
}  // namespace velmora::wintest
