// The Win32 editor window: the test plug-in's editor opened by the host as a
// child of its own window, driven with posted mouse and key messages and read
// back from the screen; and the window's menus in-process.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/TestEditor.h"
#include "framework/graphics/headless/HeadlessGraphics.h"
#include "framework/graphics/platform/win/IGraphicsWin.h"
#include "framework/plugin/IPluginBase.h"
#include "tools/vsthost/VstHost.h"

#include "WinTestSupport.h"
#include "tests/TestDescriptor.h"

namespace velmora::wintest {
namespace {

using host::AutomationRecord;
using host::VstHost;

constexpr const char* kWindowClass = "VelmoraWndClass";

// The test editor's plug-in side without the adapter, for the windowless
// reference render and the in-process window.
class LocalPlugin : public IPluginBase {
 public:
  LocalPlugin() : IPluginBase(PluginHost::None(), velmora::test::TestDescriptor(kParamCount, "0-2", 1, "EditorTest", 1)) {
    DefineTestParams(*this);
  }
};

HMODULE TestPluginModule() { return GetModuleHandleA("EditorTestPlugin.dll"); }

bool ClassRegistered() {
  WNDCLASSA info{};
  HMODULE module = TestPluginModule();
  return module && GetClassInfoA(module, kWindowClass, &info);
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class EditorWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(host); }
  void TearDown() override { host.close(); }

  static void Start(VstHost& h) {
    ASSERT_TRUE(h.load(VELMORA_EDITOR_TEST_PLUGIN)) << h.error();
    h.open();
    h.setSampleRate(44100.0);
    ASSERT_TRUE(h.setBlockSize(256));
    h.resume();
  }

  // Opens the editor in parent and waits until it has drawn itself.
  HWND Open(VstHost& h, HostWindow& parent) {
    if (h.dispatch(effEditOpen, 0, 0, parent.Handle()) != 1) return nullptr;
    HWND editor = FindWindowExA(parent.Handle(), nullptr, kWindowClass, nullptr);
    if (editor) PumpUntil([&] { return Shows(editor, Reference()); });
    return editor;
  }

  // The editor as the windowless context draws it with the same values.
  std::vector<std::uint32_t> Reference() {
    LocalPlugin plugin;
    auto owned = std::make_unique<HeadlessGraphics>(&plugin, kEditorWidth, kEditorHeight);
    HeadlessGraphics* editor = owned.get();
    BuildTestEditor(*editor, plugin);
    plugin.AttachEditor(std::move(owned));
    for (int i = 0; i < kParamCount; ++i) editor->SetParamFromPlugin(i, host.parameter(i), true);
    editor->OpenWindow(nullptr);
    editor->RedrawAll();
    std::vector<std::uint32_t> pixels;
    const SysBitmap* surface = editor->DrawingSurface();
    for (int y = 0; y < kEditorHeight; ++y) {
      for (int x = 0; x < kEditorWidth; ++x) pixels.push_back(surface->Row(y)[x] & 0xffffffu);
    }
    return pixels;
  }

  static bool Shows(HWND editor, const std::vector<std::uint32_t>& expected) {
    return CaptureWindow(editor, kEditorWidth, kEditorHeight) == expected;
  }

  static std::uint32_t PixelAt(HWND editor, int x, int y) {
    return CaptureWindow(editor, kEditorWidth, kEditorHeight)[std::size_t(y * kEditorWidth + x)];
  }

  VstHost host;
  HostWindow parent{40, 40, 200, 150};
};

TEST_F(EditorWindowTest, OpensAsAChildOfTheHostsWindowAndClosesWithTheClass) {
  ERect* rect = nullptr;
  ASSERT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, kEditorWidth);
  EXPECT_EQ(rect->bottom - rect->top, kEditorHeight);

  HWND editor = Open(host, parent);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(GetParent(editor), parent.Handle());
  EXPECT_EQ(GetWindowLongA(editor, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
  RECT client{};
  GetClientRect(editor, &client);
  EXPECT_EQ(client.right, kEditorWidth);
  EXPECT_EQ(client.bottom, kEditorHeight);
  char title[32] = {};
  GetWindowTextA(editor, title, sizeof title);
  EXPECT_STREQ(title, "Velmora");
  WNDCLASSA info{};
  ASSERT_TRUE(GetClassInfoA(TestPluginModule(), kWindowClass, &info));
  EXPECT_TRUE(info.style & CS_DBLCLKS);

  EXPECT_EQ(host.dispatch(effEditClose), 1);
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_FALSE(ClassRegistered());
}

TEST_F(EditorWindowTest, TwoEditorsShareTheWindowClassUntilTheLastCloses) {
  VstHost second;
  Start(second);
  HostWindow otherParent(260, 40, 200, 150);
  HWND first = Open(host, parent);
  HWND other = Open(second, otherParent);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(other, nullptr);
  host.dispatch(effEditClose);
  EXPECT_TRUE(ClassRegistered());
  EXPECT_TRUE(IsWindow(other));
  second.dispatch(effEditClose);
  EXPECT_FALSE(ClassRegistered());
  second.close();
}

TEST_F(EditorWindowTest, ShowsWhatTheWindowlessEditorDrawsFromTheDllsPictures) {
  ASSERT_TRUE(host.setParameter(kSteps, 0.5f));  // the knob's third frame
  HWND editor = Open(host, parent);
  ASSERT_NE(editor, nullptr);
  const std::vector<std::uint32_t> reference = Reference();
  EXPECT_TRUE(Shows(editor, reference)) << "the window differs from the windowless render";
  // Chosen pixels: the background picture, the switch's off frame, the knob.
  EXPECT_EQ(PixelAt(editor, 70, 30), 0x00d27864u);  // red 3x, green 4y, blue 100
  EXPECT_EQ(PixelAt(editor, 14, 14), 0x00ff0000u);  // switch off: red
  EXPECT_EQ(PixelAt(editor, 31, 6), 0x00000096u);   // knob frame 3: blue 150
  host.dispatch(effEditClose);
}

TEST_F(EditorWindowTest, AClickOnTheSwitchTurnsItsParameterOn) {
  HWND editor = Open(host, parent);
  ASSERT_NE(editor, nullptr);
  host.takeAutomation();
  PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, At(9, 9));
  PostMessageA(editor, WM_LBUTTONUP, 0, At(9, 9));
  ASSERT_TRUE(PumpUntil([&] { return host.parameter(kPower) == 1.0f; }));
  const std::vector<AutomationRecord> automation = host.takeAutomation();
  ASSERT_EQ(automation.size(), 3u);
  EXPECT_EQ(automation[0].kind, AutomationRecord::Kind::BeginEdit);
  EXPECT_EQ(automation[1].kind, AutomationRecord::Kind::Automate);
  EXPECT_EQ(automation[1].index, kPower);
  EXPECT_EQ(automation[1].value, 1.0f);
  EXPECT_EQ(automation[2].kind, AutomationRecord::Kind::EndEdit);
  // The timer redraws the switch in its on frame.
  EXPECT_TRUE(PumpUntil([&] { return PixelAt(editor, 10, 10) == 0x0000ff00u; }));
  EXPECT_TRUE(Shows(editor, Reference()));
  host.dispatch(effEditClose);
}

TEST_F(EditorWindowTest, ARightClickChoosesFromTheMenuOfValueTexts) {
  HWND editor = Open(host, parent);
  ASSERT_NE(editor, nullptr);
  // The menu's own loop takes the keys queued behind the press: down to
  // "off", down to "on", enter.
  PostMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, At(60, 10));
  PostMessageA(editor, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(editor, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageA(editor, WM_RBUTTONUP, 0, At(60, 10));
  ASSERT_TRUE(PumpUntil([&] { return host.parameter(kLatch) == 1.0f; }));
  EXPECT_EQ(host.parameterDisplay(kLatch), "on");
  // The menu took the release, yet the edit the press began ends, once.
  int begins = 0, ends = 0;
  for (const AutomationRecord& r : host.automation()) {
    begins += r.index == kLatch && r.kind == AutomationRecord::Kind::BeginEdit;
    ends += r.index == kLatch && r.kind == AutomationRecord::Kind::EndEdit;
  }
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(PumpUntil([&] { return PixelAt(editor, 60, 10) == 0x0000ff00u; }));
  host.dispatch(effEditClose);
}

TEST_F(EditorWindowTest, TheTextFieldTakesDigitsAndCommitsOnEnter) {
  HWND editor = Open(host, parent);
  ASSERT_NE(editor, nullptr);
  PostMessageA(editor, WM_RBUTTONDOWN, MK_RBUTTON, At(35, 10));
  PostMessageA(editor, WM_RBUTTONUP, 0, At(35, 10));
  HWND field = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (field = GetDlgItem(editor, IGraphicsWin::kTextEntryId)) != nullptr; }));
  char className[16] = {};
  GetClassNameA(field, className, sizeof className);
  EXPECT_STREQ(className, "Edit");
  char initial[16] = {};
  GetWindowTextA(field, initial, sizeof initial);
  EXPECT_STREQ(initial, "0");
  // The field's text is all selected: "3" replaces it; "." and letters are
  // refused for an Int parameter.
  PostMessageA(field, WM_CHAR, '3', 0);
  PostMessageA(field, WM_CHAR, '.', 0);
  PostMessageA(field, WM_CHAR, 'x', 0);
  PostMessageA(field, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(field); }));
  EXPECT_EQ(host.parameterDisplay(kSteps), "3");
  host.dispatch(effEditClose);
}

TEST_F(EditorWindowTest, KeysTheEditorDoesNotTakeGoToTheHostWindow) {
  HWND editor = Open(host, parent);
  ASSERT_NE(editor, nullptr);
  PostMessageA(editor, WM_KEYDOWN, VK_F1, 0);
  PostMessageA(editor, WM_KEYDOWN, 'A', 0);  // no control takes keys
  ASSERT_TRUE(PumpUntil([&] { return parent.KeysDown().size() == 2; }));
  EXPECT_EQ(parent.KeysDown(), (std::vector<WPARAM>{VK_F1, 'A'}));
  host.dispatch(effEditClose);
}

TEST(EditorWindowKeys, VirtualKeysMapToTheEditorsCodes) {
  EXPECT_EQ(IGraphicsWin::KeyCode(VK_SPACE), 0);
  EXPECT_EQ(IGraphicsWin::KeyCode(VK_UP), 1);
  EXPECT_EQ(IGraphicsWin::KeyCode(VK_DOWN), 2);
  EXPECT_EQ(IGraphicsWin::KeyCode(VK_LEFT), 3);
  EXPECT_EQ(IGraphicsWin::KeyCode(VK_RIGHT), 4);
  EXPECT_EQ(IGraphicsWin::KeyCode('0'), 5);
  EXPECT_EQ(IGraphicsWin::KeyCode('9'), 14);
  EXPECT_EQ(IGraphicsWin::KeyCode('A'), 15);
  EXPECT_EQ(IGraphicsWin::KeyCode('Z'), 40);
  EXPECT_EQ(IGraphicsWin::KeyCode(VK_F1), -1);
  EXPECT_EQ(IGraphicsWin::KeyCode(VK_NUMPAD0), -1);
}

// Native menus number every menu's items before its submenus'; the choice
// comes back as the (sub)menu with its chosen item.
TEST(EditorWindowMenus, ASubmenuItemIsChosenThroughItsId) {
  LocalPlugin plugin;
  auto owned = std::make_unique<IGraphicsWin>(&plugin, kEditorWidth, kEditorHeight);
  IGraphicsWin* editor = owned.get();
  plugin.AttachEditor(std::move(owned));
  HostWindow parent(40, 40, 200, 150);
  ASSERT_NE(editor->OpenWindow(parent.Handle()), nullptr);
  PopupMenu root, sub;
  root.AddItem("first");
  root.AddItem("more", PopupMenuItem::kNoFlags, &sub);
  root.AddItem("last");
  sub.AddItem("a");
  sub.AddItem("b");
  sub.AddItem("c");
  EXPECT_EQ(PopupMenu::ItemId(root, sub, 0), 3);
  HWND wnd = static_cast<HWND>(editor->WindowHandle());
  for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}) PostMessageA(wnd, WM_KEYDOWN, key, 0);
  PopupMenu* chosen = editor->ShowPopupMenu(root, Rect(10, 10, 40, 20));
  EXPECT_EQ(chosen, &sub);
  EXPECT_EQ(sub.ChosenItem(), 1);
  EXPECT_EQ(root.ChosenItem(), -1);

  // Escape dismisses: nothing is chosen.
  PostMessageA(wnd, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(editor->ShowPopupMenu(root, Rect(10, 10, 40, 20)), nullptr);
  editor->CloseWindow();
  EXPECT_FALSE(IsWindow(wnd));
}

}  // namespace
}  // namespace velmora::wintest
