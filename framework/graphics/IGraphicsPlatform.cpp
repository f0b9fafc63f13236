// What the editor does without a window: the platform operations' safe
// answers ("nothing chosen"), resizing, and the value prompt that the
// platform's menu and text field serve.
#include <algorithm>
#include <charconv>
#include <cstring>

#include "framework/graphics/IGraphics.h"
#include "framework/plugin/IPluginBase.h"

namespace velmora {

namespace {

constexpr std::size_t kMaxEntryText = 31;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The decimal number at the start of text, independent of the C locale;
// 0 when there is none.
double ReadDecimal(const std::string& text) {
  const char* p = text.c_str();
  const char* end = p + text.size();
  while (p < end && IsBlank(*p)) ++p;
  if (p < end && *p == '+' && p + 1 < end && p[1] != '+' && p[1] != '-') ++p;
  double value = 0.0;
  const std::from_chars_result r = std::from_chars(p, end, value, std::chars_format::general);
  return r.ec == std::errc() ? value : 0.0;
}

bool UsesValueTexts(const Param& param) {
  return param.Kind() == ParamKind::kEnum || (param.Kind() == ParamKind::kBool && param.NValueTexts() > 0);
}

}  // namespace

int IGraphics::ShowMessageBox(const char*, const char*, int) { return 0; }

PopupMenu* IGraphics::ShowPopupMenu(PopupMenu&, const Rect&) {
  ReleaseMouseCapture();
  return nullptr;
}

void IGraphics::CreateTextEntry(IControl*, const TextStyle&, const Rect&, const char*, Param*) {}

void IGraphics::HostPath(std::string& path) { path.clear(); }
void IGraphics::PluginPath(std::string& path) { path.clear(); }
void IGraphics::DesktopPath(std::string& path) { path.clear(); }
void IGraphics::ApplicationDataFolder(std::string& path, bool) { path.clear(); }

void IGraphics::PromptForFile(std::string& fileName, int, std::string&, const char*) { fileName.clear(); }

bool IGraphics::PromptForColor(Color&, const char*) { return false; }

bool IGraphics::OpenUrl(const char*, const char*, const char*, const char*) { return false; }

void* IGraphics::OpenWindow(void*) { return nullptr; }

bool IGraphics::ClipboardText(std::string& text) {
  text.clear();
  return false;
}

void IGraphics::HideCursor() {
  if (!mCursorHidden) mCursorHidden = true;
}

void IGraphics::ShowCursor() {
  if (mCursorHidden) mCursorHidden = false;
}

void IGraphics::ResizeEditor(int width, int height) {
  mWidth = width;
  mHeight = height;
  ReleaseMouseCapture();
  mMouseOver = -1;
  mControls.clear();
  CreateSurfaces();
  if (mPlugin) mPlugin->OnEditorSizeChanged(Width(), Height());
}

// --- value prompt

void IGraphics::PromptForValue(IControl* control, Param* param, const Rect& rect) {
  if (!control || !param) return;
  // Copy what is shown under the plug-in lock; the menu and the field run without it.
  const bool menu = UsesValueTexts(*param);
  std::string current;
  std::vector<std::string> texts;
  {
    std::unique_lock<PluginLock> lock;
    if (mPlugin) lock = mPlugin->Lock();
    current = param->FormatValue(param->Value(), false, menu);
    if (menu) {
      for (int i = 0; i < param->NValueTexts(); ++i) {
        const char* text = param->ValueTextFor(i);
        texts.emplace_back(text ? text : "");
      }
    }
  }
  if (!menu) {
    CreateTextEntry(control, control->GetTextStyle(), rect, current.c_str(), param);
    return;
  }
  PopupMenu popup;
  for (const std::string& text : texts) {
    popup.AddItem(text.c_str(), text == current ? PopupMenuItem::kChecked : PopupMenuItem::kNoFlags);
  }
  if (ShowPopupMenu(popup, rect) != &popup || popup.ChosenItem() < 0) return;
  const double v = std::clamp(double(popup.ChosenItem()), param->Min(), param->Max());
  control->ValueFromUser(param->ToNormalized(v));
}

void IGraphics::CommitTextEntry(IControl& control, const Param* param, const char* text) {
  const std::string entered(text ? text : "", text ? strnlen(text, kMaxEntryText) : 0);
  if (!param) {
    control.TextEntered(entered.c_str());
    return;
  }
  double value = 0.0;
  if (param->Kind() == ParamKind::kBool || param->Kind() == ParamKind::kEnum) {
    for (int i = 0; i < param->NValueTexts(); ++i) {
      if (param->ValueTextAt(i)->text == entered) {
        value = param->ValueTextAt(i)->value;
        break;
      }
    }
  } else {
    value = ReadDecimal(entered);
    if (param->NegateDisplay()) value = -value;
  }
  control.ValueFromUser(param->ToNormalized(value));
}

bool IGraphics::TextEntryAccepts(const Param* param, char c) {
  if (!param || c == '\b') return true;
  if ((c >= '0' && c <= '9') || c == '+' || c == '-') return true;
  return c == '.' && param->Kind() == ParamKind::kDouble;
}

}  // namespace velmora
