#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/IGraphics.h"

// Win32 handle types, declared the way <windows.h> declares them, so that
// includers of this header do not get its macros (LoadImage, DrawText, ...).
struct HWND__;
struct HINSTANCE__;
struct HFONT__;

namespace velmora {

// The editor on Windows: a child window of the host's window, redrawn from
// a timer, with mouse and key input, native popup menus, an in-place text
// field, dialogs, folders, web links, the clipboard and OLE drags. One file
// per concern: IGraphicsWin.cpp (window), WinTextEntry, WinPopupMenu,
// WinDialogs, WinShell and WinDragSource.
//
// Threads: [editor] for everything: the thread that opened the window, whose
// message loop runs its procedures, menus, dialogs and drags; the
// exceptions are IGraphics's own ([any, under the plug-in lock]) and the
// static KeyCode and OpenWindowCount ([any]).
class IGraphicsWin : public IGraphics {
 public:
  enum EntryState : int32_t {
    kEntryNone = 0,
    kEntryFocused = 1,     // the field has the focus
    kEntryRepainted = 2,   // the editor was repainted around the open field
    kEntryCancel = 3,
    kEntryCommit = 4,
  };
  static constexpr const char* kWindowClass = "VelmoraWndClass";
  static constexpr unsigned kTimerId = 2;
  static constexpr int kTextEntryId = 99;

  // module: where the window class and the pictures live; null stands for
  // the module holding this code.
  IGraphicsWin(IPluginBase* plugin, int width, int height, int fps = 25, HINSTANCE__* module = nullptr);
  ~IGraphicsWin() override;

  void SetModuleInstance(HINSTANCE__* module);
  HINSTANCE__* ModuleInstance() const { return mModule; }

  void PaintToWindow(const Rect& rect) override;
  void EndTextEntry() override;
  void ResizeEditor(int width, int height) override;
  bool WindowIsOpen() override { return mWnd != nullptr; }
  const char* DrawingApiName() override { return "Windows GDI"; }
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  PopupMenu* ShowPopupMenu(PopupMenu& menu, const Rect& rect) override;
  void CreateTextEntry(IControl* control, const TextStyle& style, const Rect& rect, const char* initialText,
                       Param* param) override;
  void HostPath(std::string& path) override;
  void PluginPath(std::string& path) override;
  void DesktopPath(std::string& path) override;
  void ApplicationDataFolder(std::string& path, bool allUsers) override;
  void PromptForFile(std::string& fileName, int action, std::string& folder, const char* extensions) override;
  bool PromptForColor(Color& color, const char* title) override;
  bool OpenUrl(const char* url, const char* title, const char* confirmText, const char* errorText) override;
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  void* WindowHandle() override { return mWnd; }
  bool ClipboardText(std::string& text) override;
  void HideCursor() override;
  void ShowCursor() override;
  // Offers the shell's file list (DragData::kWindowsFileList) by OLE
  // drag-and-drop; true once the drag ran, false with no file list.
  bool StartDrag(const std::vector<DragData>& offer) override;
  DragOutcome StartDragOut(const std::vector<DragData>& offer, bool backInWindow) override;
  // The module's resource of type "PNG" with this id, decoded; only for a
  // file name ending in ".png" in any case. The file is never opened.
  std::unique_ptr<RasterBitmap> LoadBitmapResource(int id, const std::string& fileName) override;

  // The text field and its state, for the window's own code and for tests.
  HWND__* TextEntryWindow() const { return mTextEntry; }
  int TextEntryState() const { return mTextEntryState; }

  // The editor key code of a virtual key: space 0, arrows 1..4 (up, down,
  // left, right), digits 5..14, letters 15..40; -1 for any other key.
  static int KeyCode(unsigned virtualKey);
  // Editor windows open in this module; the window class is registered
  // while there is one.
  static int OpenWindowCount();

 private:
  struct Messages;  // the window procedures

  void TimerTick();
  void FitWindow();
  void CloseTextEntry();
  void CommitTextEntry();
  HWND__* OwnerWindow();
  void WindowDestroyed();

  HINSTANCE__* mModule = nullptr;
  HWND__* mWnd = nullptr;
  HWND__* mTextEntry = nullptr;
  HFONT__* mTextEntryFont = nullptr;
  IControl* mTextEntryControl = nullptr;
  Param* mTextEntryParam = nullptr;
  std::intptr_t mDefaultEditProc = 0;  // the field's own procedure (a WNDPROC)
  int mTextEntryState = kEntryNone;
  std::unique_ptr<std::uint32_t[]> mCustomColors;  // COLORREFs of the colour dialog
  unsigned long mProcessId = 0;
  HWND__* mParentWnd = nullptr;
  HWND__* mMainWnd = nullptr;
  std::string mMainWndClassName;
};

}  // namespace velmora
