// The editor's Win32 window: its class, paint, timer and messages. The
// text field, menus, dialogs, shell and drag live beside it, one file each.
// IGraphicsWin.h keeps <windows.h> out of its includers; it comes last here,
// after every header of ours.
#include "framework/graphics/platform/win/IGraphicsWin.h"

#include <algorithm>
#include <mutex>

#include "framework/graphics/platform/win/WinDpi.h"
#include "framework/graphics/platform/win/WinPopupMenu.h"
#include "framework/graphics/raster/PngCodec.h"
#include "framework/plugin/platform/win/ModuleInstance.h"

// These two bring <windows.h>.
#include "framework/graphics/platform/win/WinDragSource.h"
#include "framework/graphics/platform/win/WinMessages.h"

#include <windowsx.h>

namespace velmora {

namespace {

// Process-wide (per module): the editors sharing the window class, and the
// timer rate the last opened editor asked for.
std::mutex gClassLock;
int gOpenWindows = 0;
int gTimerRate = 25;

MouseMods ModsOf(WPARAM keys) {
  return MouseMods((keys & MK_LBUTTON) != 0, (keys & MK_RBUTTON) != 0, (keys & MK_SHIFT) != 0,
                   (keys & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
}

RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// Sent to a child window when its parent's DPI changed (Windows 10 1703);
// not every SDK names it.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

bool HasPngExtension(const std::string& fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || fileName.size() - dot != 4) return false;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
  return lower(fileName[dot + 1]) == 'p' && lower(fileName[dot + 2]) == 'n' && lower(fileName[dot + 3]) == 'g';
}

}  // namespace

// The system's scale is known before the host asks for the size; the
// parent's own is asked when the window opens.
IGraphicsWin::IGraphicsWin(IPluginBase* plugin, int width, int height, int fps, HINSTANCE module)
    : IGraphics(plugin, width, height, fps), mModule(module ? module : velmora::ModuleInstance()) {
  SetSystemScale(win::SystemScale());
}

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
  // The monitor the host's window is on may ask another scale: the host is asked for it.
  if (mWnd) SetSystemScale(win::WindowScale(static_cast<HWND>(parent)));
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
  OnWindowClosed();
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

// After a change of scale the host gave room for: the window takes the
// editor's new size.
void IGraphicsWin::FitWindow() {
  RECT client{};
  GetClientRect(mWnd, &client);
  if (client.right - client.left == Width() && client.bottom - client.top == Height()) return;
  if (mTextEntry) CloseTextEntry();
  SetWindowPos(mWnd, nullptr, 0, 0, Width(), Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(mWnd, nullptr, FALSE);
}

void IGraphicsWin::TimerTick() {
  FitWindow();
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
  UpdateSurfaces();
  DrainParamValues(false);
  Rect dirty;
  if (!FindDirtyArea(dirty)) return;
  const RECT area = ToRECT(ToPhysical(dirty));
  InvalidateRect(mWnd, &area, FALSE);
  if (mTextEntry && mTextEntryControl) {
    const RECT field = ToRECT(ToPhysical(mTextEntryControl->GetRect()));
    ValidateRect(mWnd, &field);  // the field stays on top
    UpdateWindow(mWnd);
    mTextEntryState = kEntryRepainted;
  } else {
    UpdateWindow(mWnd);
  }
}

void IGraphicsWin::ResizeEditor(int width, int height) {
  if (width == LayoutWidth() && height == LayoutHeight()) return;
  const int oldWidth = Width(), oldHeight = Height();
  IGraphics::ResizeEditor(width, height);
  const int dw = Width() - oldWidth;
  const int dh = Height() - oldHeight;
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
        editor->DrawArea(
            LayoutRectCovering(Rect(update.left, update.top, update.right, update.bottom), editor->DrawScale()));
      }
      ValidateRect(wnd, nullptr);  // also when there was nothing to draw
      return 0;
    }
    case WM_CLOSE:
      editor->CloseWindow();
      return 0;
    case kDpiChangedAfterParent:
      editor->SetSystemScale(win::WindowScale(wnd));
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
        const COLORREF background = RGB(style.entryBackground.r, style.entryBackground.g, style.entryBackground.b);
        SetBkColor(dc, background);
        SetTextColor(dc, RGB(style.entryForeground.r, style.entryForeground.g, style.entryForeground.b));
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

// --- modal loops

PopupMenu* IGraphicsWin::ShowPopupMenu(PopupMenu& menu, const Rect& rect) {
  ReleaseMouseCapture();
  if (!mWnd) return nullptr;
  return win::RunPopupMenu(mWnd, menu, ToPhysical(rect));
}

bool IGraphicsWin::StartDrag(const std::vector<DragData>& offer) {
  if (win::RunOleDrag(offer) == DragOutcome::kNotStarted) return false;
  // The drag loop took the button's release: the press that started it ends here.
  ReleaseMouseCapture();
  return true;
}

DragOutcome IGraphicsWin::StartDragOut(const std::vector<DragData>& offer, bool backInWindow) {
  if (!mWnd) return DragOutcome::kNotStarted;
  const DragOutcome outcome = win::RunOleDrag(offer, backInWindow ? mWnd : nullptr);
  if (outcome == DragOutcome::kBackInWindow) {
    // The loop had the mouse; the press goes on in the window.
    if (mWnd) SetCapture(mWnd);
  } else if (outcome != DragOutcome::kNotStarted) {
    AbandonPress();
  }
  return outcome;
}

// --- resources

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
