// The editor's dialogs: message boxes and the file and colour prompts,
// owned by the host's top-level window.
#include "framework/graphics/platform/win/IGraphicsWin.h"
#include "framework/plugin/platform/win/WideText.h"

#include <algorithm>

#include <windows.h>
#include <commdlg.h>

namespace velmora {

namespace {

struct FindTopLevel {
  DWORD processId;
  const std::string* className;
  HWND found = nullptr;
};

BOOL CALLBACK FindTopLevelWindow(HWND wnd, LPARAM data) {
  auto* search = reinterpret_cast<FindTopLevel*>(data);
  DWORD processId = 0;
  GetWindowThreadProcessId(wnd, &processId);
  char className[256] = {};
  if (processId == search->processId && GetClassNameA(wnd, className, sizeof className) > 0 &&
      *search->className == className) {
    search->found = wnd;
    return FALSE;
  }
  return TRUE;
}

UINT_PTR CALLBACK ColorDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* choose = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    if (choose && choose->lCustData) SetWindowTextA(dialog, reinterpret_cast<const char*>(choose->lCustData));
  }
  return 0;
}

}  // namespace

HWND IGraphicsWin::OwnerWindow() {
  if (mWnd) return GetAncestor(mWnd, GA_ROOT);
  if (mMainWndClassName.empty()) return nullptr;
  FindTopLevel search{DWORD(mProcessId), &mMainWndClassName};
  EnumWindows(&FindTopLevelWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int IGraphicsWin::ShowMessageBox(const char* text, const char* caption, int type) {
  return MessageBoxA(OwnerWindow(), text ? text : "", caption ? caption : "", UINT(type));
}

void IGraphicsWin::PromptForFile(std::string& fileName, int action, std::string& folder, const char* extensions) {
  std::string start = folder;
  if (start.empty()) DesktopPath(start);
  // "mid txt" -> "*.mid;*.txt", shown and matched alike.
  std::string patterns;
  const std::string list = extensions ? extensions : "";
  for (std::size_t at = 0; at < list.size();) {
    const std::size_t end = std::min(list.find(' ', at), list.size());
    if (end > at) patterns += (patterns.empty() ? "*." : ";*.") + list.substr(at, end - at);
    at = end + 1;
  }
  // Paths are UTF-8 on our side; the wide dialog keeps what the ANSI code
  // page cannot hold.
  std::wstring filter;
  if (!patterns.empty()) filter = Utf8ToWide(patterns) + L'\0' + Utf8ToWide(patterns) + L'\0';
  wchar_t path[MAX_PATH] = {};
  const std::wstring initialName = Utf8ToWide(fileName);
  initialName.copy(path, MAX_PATH - 1);
  const std::wstring initialFolder = Utf8ToWide(start);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = OwnerWindow();
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = initialFolder.c_str();
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | (action == 1 ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = action == 1 ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) {
    fileName.clear();
    return;
  }
  const std::size_t length = wcsnlen(path, MAX_PATH);
  fileName = WideToUtf8(path, length);
  folder = WideToUtf8(path, std::min<std::size_t>(dialog.nFileOffset, length));
}

bool IGraphicsWin::PromptForColor(Color& color, const char* title) {
  if (!mCustomColors) {
    mCustomColors = std::make_unique<std::uint32_t[]>(16);
    for (int i = 0; i < 16; ++i) mCustomColors[std::size_t(i)] = RGB(255, 255, 255);
  }
  static_assert(sizeof(std::uint32_t) == sizeof(COLORREF), "custom colours are COLORREFs");
  CHOOSECOLORA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = OwnerWindow();
  dialog.rgbResult = RGB(color.r, color.g, color.b);
  dialog.lpCustColors = reinterpret_cast<COLORREF*>(mCustomColors.get());
  dialog.Flags = CC_FULLOPEN | CC_RGBINIT | CC_ENABLEHOOK;
  dialog.lpfnHook = &ColorDialogHook;
  dialog.lCustData = reinterpret_cast<LPARAM>(title);
  if (!ChooseColorA(&dialog)) return false;
  color.r = GetRValue(dialog.rgbResult);
  color.g = GetGValue(dialog.rgbResult);
  color.b = GetBValue(dialog.rgbResult);
  return true;
}

}  // namespace velmora
