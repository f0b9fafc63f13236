#pragma once

// The editor window's procedures, shared by the files of IGraphicsWin.
#include "framework/graphics/platform/win/IGraphicsWin.h"

#include <windows.h>

namespace velmora {

struct IGraphicsWin::Messages {
  static LRESULT CALLBACK Window(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK TextField(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace velmora
