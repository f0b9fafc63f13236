#include "framework/graphics/headless/HeadlessGraphics.h"

#include <algorithm>

#include "framework/plugin/AppDataFolder.h"
#include "framework/graphics/raster/PngCodec.h"

namespace velmora {

namespace {

std::string Text(const char* text) { return text ? text : ""; }

}  // namespace

HeadlessGraphics::HeadlessGraphics(IPluginBase* plugin, int width, int height, int fps)
    : IGraphics(plugin, width, height, fps) {}

HeadlessGraphics::~HeadlessGraphics() { CloseWindow(); }

void HeadlessGraphics::ScriptPopupChoice(std::vector<int> path) { mPopupScript.emplace_back(std::move(path)); }
void HeadlessGraphics::ScriptPopupDismiss() { mPopupScript.emplace_back(std::nullopt); }
void HeadlessGraphics::ScriptTextEntry(const std::string& typed) { mTextScript.emplace_back(typed); }
void HeadlessGraphics::ScriptTextEntryCancel() { mTextScript.emplace_back(std::nullopt); }

bool HeadlessGraphics::SaveSurfacePng(const std::string& path) const {
  const SysBitmap* surface = DrawingSurface();
  return surface && WritePng(*surface, path);
}

bool HeadlessGraphics::RedrawAll() {
  for (int i = 0; i < NControls(); ++i) GetControl(i)->MarkDirty(false);
  return OnTimerTick();
}

void HeadlessGraphics::PaintToWindow(const Rect& rect) { mPainted.push_back(rect); }

int HeadlessGraphics::ShowMessageBox(const char* text, const char* caption, int) {
  mMessageBoxes.push_back(Text(caption) + ": " + Text(text));
  return mMessageBoxAnswer;
}

PopupMenu* HeadlessGraphics::ShowPopupMenu(PopupMenu& menu, const Rect& rect) {
  ReleaseMouseCapture();
  ShownMenu shown;
  shown.rect = ToPhysical(rect);
  shown.numbering = menu.Numbering();
  for (int i = 0; i < menu.NItems(); ++i) {
    shown.labels.push_back(menu.ItemLabel(i));
    shown.flags.push_back(menu.Item(i)->flags);
  }
  mMenus.push_back(std::move(shown));
  if (mPopupScript.empty()) return nullptr;
  const std::optional<std::vector<int>> answer = std::move(mPopupScript.front());
  mPopupScript.pop_front();
  return answer ? Choose(menu, *answer) : nullptr;
}

PopupMenu* HeadlessGraphics::Choose(PopupMenu& menu, const std::vector<int>& path) {
  if (path.empty() || path.size() > std::size_t(PopupMenu::kMaxDepth) + 1) return nullptr;
  PopupMenu* current = &menu;
  for (std::size_t step = 0; step + 1 < path.size(); ++step) {
    const PopupMenuItem* item = current->Item(path[step]);
    if (!item || !item->submenu || item->IsSeparator()) return nullptr;
    current = item->submenu;
  }
  const PopupMenuItem* item = current->Item(path.back());
  if (!item || item->submenu || !item->Selectable()) return nullptr;
  current->SetChosenItem(path.back());
  return current;
}

void HeadlessGraphics::CreateTextEntry(IControl* control, const TextStyle&, const Rect& rect,
                                       const char* initialText, Param* param) {
  if (!control) return;
  mTextEntries.push_back(ShownTextEntry{control, ToPhysical(rect), Text(initialText), param});
  if (mTextScript.empty()) return;
  const std::optional<std::string> answer = std::move(mTextScript.front());
  mTextScript.pop_front();
  if (!answer) return;
  std::string typed;
  const std::size_t limit = std::size_t(std::max(control->TextEntryLength(), 0));
  for (char c : *answer) {
    if (typed.size() >= limit) break;
    if (TextEntryAccepts(param, c)) typed.push_back(c);
  }
  CommitTextEntry(*control, param, typed.c_str());
}

// Unless a test names one, the folder is the platform's own, as a window's is.
void HeadlessGraphics::ApplicationDataFolder(std::string& path, bool) {
  path = mAppDataFolder.empty() ? velmora::ApplicationDataFolder() : mAppDataFolder;
}

bool HeadlessGraphics::OpenUrl(const char* url, const char* title, const char* confirmText,
                               const char* errorText) {
  mUrls.push_back(OpenedUrl{Text(url), Text(title), Text(confirmText), Text(errorText)});
  return mOpenUrlResult;
}

void* HeadlessGraphics::OpenWindow(void* parent) {
  if (mOpen) CloseWindow();
  mParent = parent;
  mOpen = true;
  OnWindowOpening();
  return &mWindowToken;
}

void HeadlessGraphics::CloseWindow() {
  if (mOpen) OnWindowClosed();
  mOpen = false;
  mParent = nullptr;
}

}  // namespace velmora
