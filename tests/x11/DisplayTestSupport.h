#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/graphics/raster/MemBitmap.h"
#include "tools/x11host/X11EditorHost.h"

namespace velmora::test {

// Points DISPLAY at the Xvfb of this test program, started on first use;
// false (with the reason in why) when it cannot run.
bool UseSharedXvfb(std::string* why = nullptr);

// Compares colour channels (the window has no alpha); on a difference says
// where, and saves both pictures under the test's temporary folder as
// velmora_x11_<name>_window.png and _expected.png.
::testing::AssertionResult SamePicture(const MemBitmap& window, const MemBitmap& expected, const std::string& name);
// Waits until the editor's window shows what render draws (render runs
// again on every look, so values still on their way are caught up with).
::testing::AssertionResult ShowsPicture(host::X11EditorHost& host, const std::function<bool(MemBitmap&)>& render,
                                        const std::string& name);

// Shared-memory segments made by this process that still exist, and open
// file descriptors (a display connection left open keeps one).
int OwnSharedMemorySegments();
int OpenFileDescriptors();

}  // namespace velmora::test
