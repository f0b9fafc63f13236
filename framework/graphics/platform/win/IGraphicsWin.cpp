// The editor's Win32 window. IGraphicsWin.h keeps <windows.h> out of its
// includers; it comes last here, after every header of ours.
#include "framework/graphics/platform/win/IGraphicsWin.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "framework/graphics/raster/PngCodec.h"
#include "framework/plugin/IPluginBase.h"
#include "framework/plugin/Param.h"
#include "framework/plugin/platform/win/ModuleInstance.h"

#include <windows.h>
#include <windowsx.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

namespace velmora {

namespace {

// Process-wide (per module): the editors sharing the window class, and the
// timer rate the last opened editor asked for.
std::mutex gClassLock;
int gOpenWindows = 0;
int gTimerRate = 25;

constexpr int kMaxFolderLength = 255;

MouseMods ModsOf(WPARAM keys) {
  return MouseMods((keys & MK_LBUTTON) != 0, (keys & MK_RBUTTON) != 0, (keys & MK_SHIFT) != 0,
                   (keys & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
}

RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

std::string Limited(std::string path) {
  if (path.size() > std::size_t(kMaxFolderLength)) path.resize(std::size_t(kMaxFolderLength));
  return path;
}

// The folder part of a module's path, its last backslash kept.
std::string FolderOf(HMODULE module) {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  const std::string full(path, length);
  const std::size_t slash = full.rfind('\\');
  if (slash == std::string::npos || slash + 1 == full.size()) return std::string();
  return Limited(full.substr(0, slash + 1));
}

bool HasPngExtension(const std::string& fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || fileName.size() - dot != 4) return false;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
  return lower(fileName[dot + 1]) == 'p' && lower(fileName[dot + 2]) == 'n' && lower(fileName[dot + 3]) == 'g';
}

// The native menu for menu, its items numbered the way PopupMenu numbers
// them; submenus nested too deep or in a cycle are left out.
HMENU BuildMenu(PopupMenu& root, PopupMenu& menu, std::vector<const PopupMenu*>& path) {
  HMENU native = CreatePopupMenu();
  if (!native) return nullptr;
  path.push_back(&menu);
  for (int i = 0; i < menu.NItems(); ++i) {
    const PopupMenuItem* item = menu.Item(i);
    const std::string label = menu.ItemLabel(i);
    if (item->IsSeparator()) {
      AppendMenuA(native, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING;
    if (item->flags & PopupMenuItem::kGrayed) flags |= MF_GRAYED;
    if (item->flags & PopupMenuItem::kDisabled) flags |= MF_DISABLED;
    if (item->flags & PopupMenuItem::kChecked) flags |= MF_CHECKED;
    if (item->submenu) {
      const bool nested = int(path.size()) <= PopupMenu::kMaxDepth &&
                          std::find(path.begin(), path.end(), item->submenu) == path.end();
      if (!nested) continue;
      HMENU sub = BuildMenu(root, *item->submenu, path);
      if (sub) AppendMenuA(native, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), label.c_str());
      continue;
    }
    const int id = PopupMenu::ItemId(root, menu, i);
    if (id >= 0 && id <= 0xffff) AppendMenuA(native, flags, UINT_PTR(id), label.c_str());
  }
  path.pop_back();
  return native;
}

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

struct IGraphicsWin::Messages {
  static LRESULT CALLBACK Window(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK TextField(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
};

IGraphicsWin::IGraphicsWin(IPluginBase* plugin, int width, int height, int fps, HINSTANCE module)
    : IGraphics(plugin, width, height, fps), mModule(module ? module : velmora::ModuleInstance()) {}

IGraphicsWin::~IGraphicsWin() { CloseWindow(); }

void IGraphicsWin::SetModuleInstance(HINSTANCE module) { mModule = module ? module : velmora::ModuleInstance(); }

int IGraphicsWin::OpenWindowCount() {
  std::lock_guard<std::mutex> guard(gClassLock);
  return gOpenWindows;
}

int IGraphicsWin::KeyCode(unsigned virtualKey) {
  switch (virtualKey) {
    case VK_SPACE: return 0;
    case VK_UP: return 1;
    case VK_DOWN: return 2;
    case VK_LEFT: return 3;
    case VK_RIGHT: return 4;
    default: break;
  }
  if (virtualKey >= '0' && virtualKey <= '9') return 5 + int(virtualKey - '0');
  if (virtualKey >= 'A' && virtualKey <= 'Z') return 15 + int(virtualKey - 'A');
  return -1;
}

// --- window

void* IGraphicsWin::OpenWindow(void* parent) {
  int x = 0, y = 0, width = Width(), height = Height();
  if (mWnd) {
    RECT r{};
    GetWindowRect(mWnd, &r);
    POINT corner{r.left, r.top};
    ScreenToClient(GetParent(mWnd), &corner);
    x = corner.x;
    y = corner.y;
    width = r.right - r.left;
    height = r.bottom - r.top;
    CloseWindow();
  }
  {
    std::lock_guard<std::mutex> guard(gClassLock);
    if (gOpenWindows++ == 0) {
      WNDCLASSA windowClass{};
      windowClass.style = CS_DBLCLKS;
      windowClass.lpfnWndProc = &Messages::Window;
      windowClass.hInstance = mModule;
      windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
      windowClass.lpszClassName = kWindowClass;
      RegisterClassA(&windowClass);
    }
    gTimerRate = std::max(FPS(), 1);
  }
  HWND wnd = CreateWindowExA(0, kWindowClass, "Velmora", WS_CHILD | WS_VISIBLE, x, y, width, height,
                             static_cast<HWND>(parent), nullptr, mModule, this);
  if (!wnd) {
    std::lock_guard<std::mutex> guard(gClassLock);
    if (--gOpenWindows == 0) {
      UnregisterClassA(kWindowClass, mModule);
      return nullptr;
    }
  } else {
    // Remembered for message boxes shown while the window is closed.
    mProcessId = GetCurrentProcessId();
    mParentWnd = static_cast<HWND>(parent);
    mMainWnd = GetAncestor(wnd, GA_ROOT);
    char className[256] = {};
    if (mMainWnd && GetClassNameA(mMainWnd, className, sizeof className) > 0) mMainWndClassName = className;
  }
  OnWindowOpening();
  // Tooltips are not offered by this window.
  EnableTooltips(false);
  return mWnd;
}

void IGraphicsWin::CloseWindow() {
  if (!mWnd) return;
  if (mTextEntry) CloseTextEntry();
  HWND wnd = mWnd;
  mWnd = nullptr;  // WM_NCDESTROY then knows the editor let it go
  DestroyWindow(wnd);
  WindowDestroyed();
}

// The window is gone, by CloseWindow or with its parent.
void IGraphicsWin::WindowDestroyed() {
  // A press on the window (a knob being dragged) gets no release now.
  AbandonPress();
  mWnd = nullptr;
  mTextEntry = nullptr;
  mTextEntryControl = nullptr;
  mTextEntryParam = nullptr;
  mTextEntryState = kEntryNone;
  if (mTextEntryFont) DeleteObject(mTextEntryFont);
  mTextEntryFont = nullptr;
  std::lock_guard<std::mutex> guard(gClassLock);
  if (gOpenWindows > 0 && --gOpenWindows == 0) UnregisterClassA(kWindowClass, mModule);
}

void IGraphicsWin::PaintToWindow(const Rect& rect) {
  if (!mWnd) return;
  SysBitmap* surface = DrawingSurface();
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(mWnd, &paint);
  if (dc && surface && surface->DeviceContext()) {
    BitBlt(dc, rect.left, rect.top, int(rect.W()), int(rect.H()), static_cast<HDC>(surface->DeviceContext()),
           rect.left, rect.top, SRCCOPY);
  }
  EndPaint(mWnd, &paint);
}

void IGraphicsWin::TimerTick() {
  if (mTextEntry) {
    switch (mTextEntryState) {
      case kEntryRepainted:
        mTextEntryState = kEntryNone;
        return;
      case kEntryCommit:
        CommitTextEntry();
        return;
      case kEntryCancel:
        CloseTextEntry();
        return;
      default:
        break;
    }
  }
  DrainParamValues(false);
  Rect dirty;
  if (!FindDirtyArea(dirty)) return;
  const RECT area = ToRECT(dirty);
  InvalidateRect(mWnd, &area, FALSE);
  if (mTextEntry && mTextEntryControl) {
    const RECT field = ToRECT(mTextEntryControl->GetRect());
    ValidateRect(mWnd, &field);  // the field stays on top
    UpdateWindow(mWnd);
    mTextEntryState = kEntryRepainted;
  } else {
    UpdateWindow(mWnd);
  }
}

void IGraphicsWin::ResizeEditor(int width, int height) {
  if (width == Width() && height == Height()) return;
  const int dw = width - Width();
  const int dh = height - Height();
  IGraphics::ResizeEditor(width, height);
  if (!mWnd) return;
  // The editor and the host's child windows around it grow together.
  HWND wnd = mWnd;
  for (int level = 0; level < 3 && wnd; ++level) {
    RECT r{};
    GetWindowRect(wnd, &r);
    SetWindowPos(wnd, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!(GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD)) break;
    wnd = GetParent(wnd);
  }
  InvalidateRect(mWnd, nullptr, FALSE);
}

LRESULT CALLBACK IGraphicsWin::Messages::Window(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    auto* editor = static_cast<IGraphicsWin*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
    editor->mWnd = wnd;
    int rate = 25;
    {
      std::lock_guard<std::mutex> guard(gClassLock);
      rate = gTimerRate;
    }
    SetTimer(wnd, kTimerId, UINT(1000 / rate), nullptr);
    SetFocus(wnd);
    return 0;
  }
  auto* editor = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!editor) return DefWindowProcA(wnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
    if (editor->mWnd == wnd) editor->WindowDestroyed();  // destroyed with its parent
    return DefWindowProcA(wnd, message, wParam, lParam);
  }
  // While the field has the focus it gets the keys; a click outside it cancels.
  if (editor->mTextEntry && editor->mTextEntryState == kEntryFocused) {
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
      editor->mTextEntryState = kEntryCancel;
      return 0;
    }
    return DefWindowProcA(wnd, message, wParam, lParam);
  }
  const int x = GET_X_LPARAM(lParam);
  const int y = GET_Y_LPARAM(lParam);
  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      return 0;
    case WM_PAINT: {
      RECT update{};
      if (GetUpdateRect(wnd, &update, FALSE)) {
        editor->DrawArea(Rect(update.left, update.top, update.right, update.bottom));
      }
      ValidateRect(wnd, nullptr);  // also when there was nothing to draw
      return 0;
    }
    case WM_CLOSE:
      editor->CloseWindow();
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: {
      bool handled = false;
      const int code = message == WM_KEYDOWN ? KeyCode(unsigned(wParam)) : -1;
      if (code >= 0) {
        POINT pointer{};
        GetCursorPos(&pointer);
        ScreenToClient(wnd, &pointer);
        handled = editor->OnKeyDown(pointer.x, pointer.y, code);
      }
      HWND host = GetAncestor(wnd, GA_ROOT);
      if (!handled && host && host != wnd) SendMessageA(host, message, wParam, lParam);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kTimerId) {
        editor->TimerTick();
        return 0;
      }
      break;
    case WM_CTLCOLOREDIT:
      if (editor->mTextEntry && editor->mTextEntryControl) {
        const TextStyle& style = editor->mTextEntryControl->GetTextStyle();
        HDC dc = reinterpret_cast<HDC>(wParam);
        const COLORREF background = RGB(style.entryBackground.R, style.entryBackground.G, style.entryBackground.B);
        SetBkColor(dc, background);
        SetTextColor(dc, RGB(style.entryForeground.R, style.entryForeground.G, style.entryForeground.B));
        SetBkMode(dc, OPAQUE);
        SetDCBrushColor(dc, background);
        return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
      }
      break;
    case WM_MOUSEMOVE:
      if (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) {
        if (GetCapture() == wnd && !editor->mTextEntry) editor->OnMouseDrag(x, y, ModsOf(wParam));
      } else if (editor->OnMouseOver(x, y, ModsOf(wParam))) {
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, wnd, HOVER_DEFAULT};
        TrackMouseEvent(&track);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (editor->mTextEntry) {
        editor->mTextEntryState = kEntryCommit;
        return 0;
      }
      SetFocus(wnd);
      SetCapture(wnd);
      editor->OnMouseDown(x, y, ModsOf(wParam));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      ReleaseCapture();
      editor->OnMouseUp(x, y, ModsOf(wParam));
      return 0;
    case WM_MBUTTONUP:
      ReleaseCapture();  // the press took it; the controls know no middle button
      return 0;
    case WM_LBUTTONDBLCLK:
      if (editor->OnMouseDoubleClick(x, y, ModsOf(wParam))) SetCapture(wnd);
      return 0;
    case WM_MOUSEWHEEL: {
      if (editor->mTextEntry) {
        editor->mTextEntryState = kEntryCancel;
        return 0;
      }
      RECT r{};
      GetWindowRect(wnd, &r);
      const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      editor->OnMouseWheel(x - r.left, y - r.top, ModsOf(GET_KEYSTATE_WPARAM(wParam)), float(notches));
      return 0;
    }
    case WM_MOUSELEAVE:
      editor->OnMouseOut();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(wnd, message, wParam, lParam);
}

// --- in-place text field

void IGraphicsWin::CreateTextEntry(IControl* control, const TextStyle& style, const Rect& rect,
                                   const char* initialText, Param* param) {
  if (!control || mTextEntry || !mWnd) return;
  DWORD align = ES_LEFT;
  if (style.align == TextStyle::kCenter) align = ES_CENTER;
  else if (style.align == TextStyle::kFar) align = ES_RIGHT;
  HWND field = CreateWindowExA(0, "EDIT", initialText ? initialText : "",
                               WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL | align, rect.left, rect.top,
                               int(rect.W()) + 1, int(rect.H()) + 1, mWnd,
                               reinterpret_cast<HMENU>(INT_PTR(kTextEntryId)), mModule, nullptr);
  if (!field) return;
  mTextEntry = field;
  mTextEntryControl = control;
  mTextEntryParam = param;
  mTextEntryState = kEntryNone;
  mTextEntryFont = CreateFontA(style.size, 0, 0, 0, style.style == TextStyle::kBold ? FW_BOLD : FW_NORMAL,
                               style.style == TextStyle::kItalic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, style.font);
  if (mTextEntryFont) SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(mTextEntryFont), 0);
  SendMessageA(field, EM_LIMITTEXT, WPARAM(std::max(control->TextEntryLength(), 0)), 0);
  SendMessageA(field, EM_SETSEL, 0, -1);
  // Ours first, so that the field's focus arrives as state 1.
  mDefaultEditProc = SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Messages::TextField));
  SetFocus(field);
}

LRESULT CALLBACK IGraphicsWin::Messages::TextField(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* editor = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(GetParent(wnd), GWLP_USERDATA));
  if (!editor || editor->mTextEntry != wnd || !editor->mDefaultEditProc) {
    return DefWindowProcA(wnd, message, wParam, lParam);
  }
  const auto own = reinterpret_cast<WNDPROC>(editor->mDefaultEditProc);
  switch (message) {
    case WM_SETFOCUS:
      editor->mTextEntryState = kEntryFocused;
      break;
    case WM_KILLFOCUS:
      editor->mTextEntryState = kEntryCommit;
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        editor->mTextEntryState = kEntryCommit;
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        editor->mTextEntryState = kEntryCancel;
        return 0;
      }
      break;
    case WM_CHAR:
      if (editor->mTextEntryParam && !TextEntryAccepts(editor->mTextEntryParam, char(wParam))) return 0;
      break;
    case WM_GETDLGCODE:
      if (!editor->mTextEntryParam) {
        LRESULT answer = CallWindowProcA(own, wnd, message, wParam, lParam);
        const MSG* asked = reinterpret_cast<const MSG*>(lParam);
        if (asked && asked->wParam == VK_RETURN) answer |= DLGC_WANTALLKEYS;
        return answer;
      }
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        editor->mTextEntryState = kEntryCommit;
        return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(own, wnd, message, wParam, lParam);
}

void IGraphicsWin::CommitTextEntry() {
  char text[32] = {};
  GetWindowTextA(mTextEntry, text, sizeof text);  // at most 31 characters
  IControl* control = mTextEntryControl;
  const Param* param = mTextEntryParam;
  CloseTextEntry();
  if (control) IGraphics::CommitTextEntry(*control, param, text);
}

void IGraphicsWin::CloseTextEntry() {
  if (mTextEntry) {
    SetWindowLongPtrA(mTextEntry, GWLP_WNDPROC, mDefaultEditProc);
    DestroyWindow(mTextEntry);
  }
  if (mTextEntryFont) DeleteObject(mTextEntryFont);
  mTextEntry = nullptr;
  mTextEntryFont = nullptr;
  mDefaultEditProc = 0;
  mTextEntryControl = nullptr;
  mTextEntryParam = nullptr;
  mTextEntryState = kEntryNone;
}

void IGraphicsWin::EndTextEntry() { mTextEntryState = kEntryCancel; }

// --- menus, dialogs, shell

PopupMenu* IGraphicsWin::ShowPopupMenu(PopupMenu& menu, const Rect& rect) {
  ReleaseMouseCapture();
  if (!mWnd) return nullptr;
  std::vector<const PopupMenu*> path;
  HMENU native = BuildMenu(menu, menu, path);
  if (!native) return nullptr;
  POINT at{rect.left, rect.bottom};
  ClientToScreen(mWnd, &at);
  PopupMenu* chosen = nullptr;
  if (TrackPopupMenu(native, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, mWnd, nullptr)) {
    // The choice arrives as the menu command that TrackPopupMenu posted.
    MSG command{};
    if (PeekMessageA(&command, mWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
      chosen = PopupMenu::ChooseById(menu, int(LOWORD(command.wParam)));
    }
  }
  DestroyMenu(native);
  InvalidateRect(mWnd, nullptr, FALSE);
  return chosen;
}

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

bool IGraphicsWin::OpenUrl(const char* url, const char* title, const char* confirmText, const char* errorText) {
  if (!url) return false;
  if (confirmText && MessageBoxA(OwnerWindow(), confirmText, title ? title : "", MB_YESNO) != IDYES) return false;
  DWORD connection = 0;
  if (InternetGetConnectedState(&connection, 0)) {
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(mWnd, "open", url, nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return true;
  }
  if (errorText) MessageBoxA(OwnerWindow(), errorText, title ? title : "", MB_OK);
  return false;
}

void IGraphicsWin::HostPath(std::string& path) { path = FolderOf(nullptr); }

void IGraphicsWin::PluginPath(std::string& path) { path = FolderOf(mModule); }

void IGraphicsWin::DesktopPath(std::string& path) {
  char folder[MAX_PATH] = {};
  path = SHGetSpecialFolderPathA(nullptr, folder, CSIDL_DESKTOP, FALSE) ? Limited(folder) : std::string();
}

void IGraphicsWin::ApplicationDataFolder(std::string& path, bool allUsers) {
  char folder[MAX_PATH] = {};
  const int which = allUsers ? CSIDL_COMMON_APPDATA : CSIDL_APPDATA;
  path = SUCCEEDED(SHGetFolderPathA(nullptr, which, nullptr, SHGFP_TYPE_CURRENT, folder)) ? Limited(folder)
                                                                                         : std::string();
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
  std::string filter;
  if (!patterns.empty()) filter = patterns + '\0' + patterns + '\0';
  char path[MAX_PATH] = {};
  std::strncpy(path, fileName.c_str(), MAX_PATH - 1);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = OwnerWindow();
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrInitialDir = start.c_str();
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | (action == 1 ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = action == 1 ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (!chosen) {
    fileName.clear();
    return;
  }
  fileName = path;
  folder = fileName.substr(0, dialog.nFileOffset);
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
  dialog.rgbResult = RGB(color.R, color.G, color.B);
  dialog.lpCustColors = reinterpret_cast<COLORREF*>(mCustomColors.get());
  dialog.Flags = CC_FULLOPEN | CC_RGBINIT | CC_ENABLEHOOK;
  dialog.lpfnHook = &ColorDialogHook;
  dialog.lCustData = reinterpret_cast<LPARAM>(title);
  if (!ChooseColorA(&dialog)) return false;
  color.R = GetRValue(dialog.rgbResult);
  color.G = GetGValue(dialog.rgbResult);
  color.B = GetBValue(dialog.rgbResult);
  return true;
}

bool IGraphicsWin::ClipboardText(std::string& text) {
  text.clear();
  if (!OpenClipboard(nullptr)) return false;
  bool ok = false;
  if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (const auto* wide = static_cast<const wchar_t*>(data ? GlobalLock(data) : nullptr)) {
      const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
      if (size > 0) {
        std::string utf8(std::size_t(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), size, nullptr, nullptr);
        utf8.resize(std::size_t(size - 1));
        text = utf8;
        ok = true;
      }
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return ok;
}

void IGraphicsWin::HideCursor() {
  if (CursorHidden()) return;
  POINT at{};
  GetCursorPos(&at);
  mHiddenCursorX = at.x;
  mHiddenCursorY = at.y;
  ::ShowCursor(FALSE);
  IGraphics::HideCursor();
}

void IGraphicsWin::ShowCursor() {
  if (!CursorHidden()) return;
  SetCursorPos(mHiddenCursorX, mHiddenCursorY);
  ::ShowCursor(TRUE);
  IGraphics::ShowCursor();
}

std::unique_ptr<RasterBitmap> IGraphicsWin::LoadBitmapResource(int id, const std::string& fileName) {
  if (!HasPngExtension(fileName)) return nullptr;
  HRSRC resource = FindResourceA(mModule, MAKEINTRESOURCEA(id), "PNG");
  if (!resource) return nullptr;
  const DWORD size = SizeofResource(mModule, resource);
  HGLOBAL loaded = LoadResource(mModule, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data || size <= 7) return nullptr;
  return DecodePng(static_cast<const unsigned char*>(data), size);
}

}  // namespace velmora
