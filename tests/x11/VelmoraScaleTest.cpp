// Velmora.so's editor on a desktop that asks for twice the size (Xft.dpi
// 192 in the server's resources), through the module as a host drives it:
// the size the host is told, the window, and the user's own size chosen in
// the options menu's submenu with real input.
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "DisplayTestSupport.h"
#include "framework/graphics/EditorScale.h"
#include "framework/graphics/platform/x11/PopupLayout.h"

// After GoogleTest, whose names Xlib's macros (None, Bool) would break.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
using host::ScreenRect;
using host::X11EditorHost;

class VelmoraScaleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    std::string why;
    ASSERT_TRUE(UseSharedXvfb(&why)) << why;
    host = std::make_unique<X11EditorHost>();
    ASSERT_TRUE(host->connected()) << host->error();
    // As a desktop at 200 % leaves it for its clients, before the plug-in is made.
    SetResources("Xft.antialias:\t1\nXft.dpi:\t192\n");
    ASSERT_TRUE(host->load(VELMORA_MODULE)) << host->error();
  }
  void TearDown() override {
    if (host && host->connected()) SetResources(nullptr);
    host.reset();
    fs::remove_all(home);
  }
  void SetResources(const char* text) {
    Display* display = host->display();
    const Window root = DefaultRootWindow(display);
    if (text) {
      XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text), int(std::string(text).size()));
    } else {
      XDeleteProperty(display, root, XA_RESOURCE_MANAGER);
    }
    XSync(display, False);
  }
  ScreenRect EditorRect() {
    ScreenRect rect;
    host->windowRect(host->editorWindow(), rect);
    return rect;
  }
  std::string Settings() {
    std::ifstream file(home / "velmora-settings.txt");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  fs::path home = fs::temp_directory_path() / ("velmora-x11-scale-" + std::to_string(getpid()));
  std::unique_ptr<X11EditorHost> host;
};

TEST_F(VelmoraScaleTest, OpensAtTwiceTheSizeWhereTheDesktopAsksForIt) {
  int width = 0, height = 0;
  ASSERT_TRUE(host->editorSize(width, height));
  EXPECT_EQ(width, 1928);
  EXPECT_EQ(height, 1418);
  ASSERT_TRUE(host->openEditor(0, 0));
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return EditorRect().width == 1928 && EditorRect().height == 1418; }))
      << EditorRect().width << " x " << EditorRect().height;
}

TEST_F(VelmoraScaleTest, TheSizeChosenInTheOptionsSubmenuHoldsFromTheNextOpening) {
  ASSERT_TRUE(host->openEditor(0, 0));
  struct {
    int itemHeight = ScaleCoordinate(x11::PopupMetrics::kItemHeight, 200);
    int border = ScaleCoordinate(x11::PopupMetrics::kBorder, 200);
  } m;
  host->click(40, 40);  // the three-bar symbol, at twice its place
  std::vector<ScreenRect> menus;
  ASSERT_TRUE(X11EditorHost::WaitFor([&] { return (menus = host->popupWindows()).size() == 1; }));
  EXPECT_EQ(menus[0].height, 3 * m.itemHeight + 2 * m.border);
  // On "Size" the submenu opens beside it; "100 %" is its second item.
  host->moveToRoot(menus[0].x + menus[0].width / 2, menus[0].y + m.border + 2 * m.itemHeight + m.itemHeight / 2);
  ASSERT_TRUE(X11EditorHost::WaitFor([&] { return (menus = host->popupWindows()).size() == 2; }));
  const ScreenRect& sub = menus[1];
  EXPECT_GE(sub.x, menus[0].x + menus[0].width - 1);
  EXPECT_EQ(sub.height, 6 * m.itemHeight + 2 * m.border);
  host->moveToRoot(sub.x + sub.width / 2, sub.y + m.border + m.itemHeight + m.itemHeight / 2);
  host->press();
  host->release();
  ASSERT_TRUE(X11EditorHost::WaitFor([&] { return host->popupWindows().empty(); }));
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Settings().find("size=100\n") != std::string::npos; }))
      << Settings();
  // This host never makes room while the window is open: the editor keeps
  // its size, whole, until the window closes.
  EXPECT_EQ(EditorRect().width, 1928);
  host->closeEditor();
  int width = 0, height = 0;
  ASSERT_TRUE(host->editorSize(width, height));
  EXPECT_EQ(width, 964);
  EXPECT_EQ(height, 709);
  ASSERT_TRUE(host->openEditor(0, 0));
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return EditorRect().width == 964 && EditorRect().height == 709; }));
}

// The host's own factor ('PreS' 'AeCs') wins over the desktop's.
TEST_F(VelmoraScaleTest, TheHostsVendorScaleWinsOverTheDesktops) {
  EXPECT_EQ(host->vst().dispatch(effVendorSpecific, 0x50726553, 0x41654373, nullptr, 1.0f), 1);
  int width = 0, height = 0;
  ASSERT_TRUE(host->editorSize(width, height));
  EXPECT_EQ(width * 10000 + height, 964 * 10000 + 709);
}

}  // namespace
}  // namespace velmora::test
