#pragma once

// Windows of the test host and a message pump with bounded waits.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace velmora::wintest {

// Runs the thread's messages until done() holds, for at most about
// rounds x 10 ms; answers done().
template <class Done>
bool PumpUntil(Done done, int rounds = 300) {
  for (int i = 0; i < rounds; ++i) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (done()) return true;
    Sleep(10);
  }
  return done();
}

// A take as a host makes one: Record on, the transport running, host note
// 36 held for four blocks, then the transport stopped. process(n) runs n
// blocks the way the test's window needs them run.
template <class Host, class ProcessBlocks>
void RecordATake(Host& host, ProcessBlocks process) {
  host.setParameter(27, 1.0f);  // Record
  host.setTransportPlaying(true);
  host.queueMidi(0, 0x90, 36, 100);
  process(4);
  host.queueMidi(0, 0x80, 36, 0);
  process(4);
  host.setTransportPlaying(false);
  process(1);
}

inline void PumpFor(int rounds) {
  PumpUntil([] { return false; }, rounds);
}

// Runs the thread's messages until wnd has handled ticks more timer
// messages (an editor redraws once per tick); bounded like PumpUntil.
inline bool PumpTimerTicks(HWND wnd, int ticks, int rounds = 300) {
  int seen = 0;
  for (int i = 0; i < rounds && seen < ticks; ++i) {
    MSG message;
    while (seen < ticks && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
      if (message.message == WM_TIMER && message.hwnd == wnd) ++seen;
    }
    if (seen < ticks) Sleep(10);
  }
  return seen >= ticks;
}

// A plain top-level window of the host (a popup, so that its client area
// is exactly the given size); it counts the keys it receives.
class HostWindow {
 public:
  HostWindow(int x, int y, int width, int height) {
    static const ATOM atom = [] {
      WNDCLASSA windowClass{};
      windowClass.lpfnWndProc = &Procedure;
      windowClass.hInstance = GetModuleHandleA(nullptr);
      windowClass.lpszClassName = "VelmoraTestHost";
      windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
      return RegisterClassA(&windowClass);
    }();
    (void)atom;
    wnd_ = CreateWindowExA(WS_EX_TOPMOST, "VelmoraTestHost", "Velmora test host", WS_POPUP | WS_VISIBLE, x, y, width,
                           height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetForegroundWindow(wnd_);
    PumpFor(2);
  }
  ~HostWindow() {
    if (IsWindow(wnd_)) DestroyWindow(wnd_);
  }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND Handle() const { return wnd_; }
  const std::vector<WPARAM>& KeysDown() const { return keysDown_; }

 private:
  static LRESULT CALLBACK Procedure(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (self && message == WM_KEYDOWN) {
      self->keysDown_.push_back(wParam);
      return 0;
    }
    return DefWindowProcA(wnd, message, wParam, lParam);
  }

  HWND wnd_ = nullptr;
  std::vector<WPARAM> keysDown_;
};

// What a window shows: its client area copied from its device context, as
// 0x00RRGGBB per pixel, row by row.
inline std::vector<std::uint32_t> CaptureWindow(HWND wnd, int width, int height) {
  std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height), 0);
  HDC windowDc = GetDC(wnd);
  HDC memoryDc = CreateCompatibleDC(windowDc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memoryDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memoryDc, bitmap);
  BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* source = static_cast<const std::uint32_t*>(bits);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = source[i] & 0xffffffu;
  SelectObject(memoryDc, old);
  DeleteObject(bitmap);
  DeleteDC(memoryDc);
  ReleaseDC(wnd, windowDc);
  return pixels;
}

}  // namespace velmora::wintest
