#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "framework/graphics/IGraphics.h"

namespace velmora {

// An editor without a window: it draws into its surface like the real one
// and answers the platform's questions from scripts, so that tests and
// screenshot tools can drive controls without a display.
class HeadlessGraphics : public IGraphics {
 public:
  // What a shown menu looked like; its rectangle, as a text field's, in
  // the window's pixels.
  struct ShownMenu {
    Rect rect;
    int numbering = 0;
    std::vector<std::string> labels;
    std::vector<int> flags;
  };
  struct ShownTextEntry {
    IControl* control = nullptr;
    Rect rect;
    std::string initialText;
    Param* param = nullptr;
  };
  struct OpenedUrl {
    std::string url, title, confirmText, errorText;
  };

  HeadlessGraphics(IPluginBase* plugin, int width, int height, int fps = 25);
  ~HeadlessGraphics() override;

  // Menus answer in script order: a path of item indices (submenu items
  // after the item that opens them), or dismissal. An empty script, an
  // index out of range or an item that cannot be chosen dismisses.
  void ScriptPopupChoice(std::vector<int> path);
  void ScriptPopupChoice(int index) { ScriptPopupChoice(std::vector<int>{index}); }
  void ScriptPopupDismiss();
  // Text fields answer in script order: the text is typed (characters the
  // field refuses are dropped, at most the control's text-entry length)
  // and committed, or the field is cancelled. An empty script cancels.
  void ScriptTextEntry(const std::string& typed);
  void ScriptTextEntryCancel();

  void SetApplicationDataFolder(const std::string& path) { mAppDataFolder = path; }
  void SetOpenUrlResult(bool opened) { mOpenUrlResult = opened; }
  void SetMessageBoxAnswer(int answer) { mMessageBoxAnswer = answer; }

  // Whole surface as an RGBA PNG; false when there is none or it cannot be written.
  bool SaveSurfacePng(const std::string& path) const;
  // Marks every control dirty and runs one redraw pass.
  bool RedrawAll();

  void* Parent() const { return mParent; }
  const std::vector<Rect>& PaintedRects() const { return mPainted; }
  void ClearPaintedRects() { mPainted.clear(); }
  const std::vector<ShownMenu>& ShownMenus() const { return mMenus; }
  const std::vector<ShownTextEntry>& ShownTextEntries() const { return mTextEntries; }
  const std::vector<OpenedUrl>& OpenedUrls() const { return mUrls; }
  const std::vector<std::string>& MessageBoxes() const { return mMessageBoxes; }

  void PaintToWindow(const Rect& rect) override;
  bool WindowIsOpen() override { return mOpen; }
  const char* DrawingApiName() override { return "Headless"; }
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  PopupMenu* ShowPopupMenu(PopupMenu& menu, const Rect& rect) override;
  void CreateTextEntry(IControl* control, const TextStyle& style, const Rect& rect, const char* initialText,
                       Param* param) override;
  void ApplicationDataFolder(std::string& path, bool allUsers) override;
  bool OpenUrl(const char* url, const char* title, const char* confirmText, const char* errorText) override;
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  void* WindowHandle() override { return mOpen ? &mWindowToken : nullptr; }
  // Records the offer; the drop happens at once.
  bool StartDrag(const std::vector<DragData>& offer) override {
    mDrags.push_back(offer);
    return true;
  }
  const std::vector<std::vector<DragData>>& Drags() const { return mDrags; }

 private:
  PopupMenu* Choose(PopupMenu& menu, const std::vector<int>& path);

  std::deque<std::optional<std::vector<int>>> mPopupScript;
  std::deque<std::optional<std::string>> mTextScript;
  std::string mAppDataFolder;
  bool mOpenUrlResult = true;
  int mMessageBoxAnswer = 0;
  bool mOpen = false;
  void* mParent = nullptr;
  int mWindowToken = 0;
  std::vector<Rect> mPainted;
  std::vector<ShownMenu> mMenus;
  std::vector<ShownTextEntry> mTextEntries;
  std::vector<OpenedUrl> mUrls;
  std::vector<std::string> mMessageBoxes;
  std::vector<std::vector<DragData>> mDrags;
};

}  // namespace velmora
