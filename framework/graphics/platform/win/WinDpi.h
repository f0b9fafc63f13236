#pragma once

struct HWND__;

namespace velmora::win {

// The scale Windows asks of a window, as a step of the editor's scales
// (EditorScale.h): its DPI divided by 96. GetDpiForWindow and
// GetDpiForSystem (Windows 10 1607 and later) are looked up at run time;
// before them the screen's logical pixels per inch answer. The host's DPI
// awareness is left as it is: a host unaware of DPI is told 96 and the
// editor stays at 100 %. [any]
int WindowScale(HWND__* window);
int SystemScale();

}  // namespace velmora::win
