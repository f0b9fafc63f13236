// The editor's in-place text field: a child EDIT control over the control
// being edited, committed or cancelled on the window's next timer tick.
#include "framework/graphics/platform/win/IGraphicsWin.h"

#include <algorithm>

#include "framework/graphics/platform/win/WinMessages.h"

#include <windows.h>

namespace velmora {

// --- in-place text field

// Placed and lettered at the editor's scale.
void IGraphicsWin::CreateTextEntry(IControl* control, const TextStyle& style, const Rect& layoutRect,
                                   const char* initialText, Param* param) {
  if (!control || mTextEntry || !mWnd) return;
  const Rect rect = ToPhysical(layoutRect);
  DWORD align = ES_LEFT;
  if (style.align == TextStyle::kCenter) align = ES_CENTER;
  else if (style.align == TextStyle::kFar) align = ES_RIGHT;
  HWND field = CreateWindowExA(0, "EDIT", initialText ? initialText : "",
                               WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL | align, rect.left, rect.top,
                               int(rect.W()) + 1, int(rect.H()) + 1, mWnd,
                               reinterpret_cast<HMENU>(INT_PTR(kTextEntryId)), mModule, nullptr);
  if (!field) return;
  mTextEntry = field;
  mTextEntryControl = control;
  mTextEntryParam = param;
  mTextEntryState = kEntryNone;
  mTextEntryFont = CreateFontA(ToPhysical(style.size), 0, 0, 0, style.style == TextStyle::kBold ? FW_BOLD : FW_NORMAL,
                               style.style == TextStyle::kItalic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, style.font);
  if (mTextEntryFont) SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(mTextEntryFont), 0);
  SendMessageA(field, EM_LIMITTEXT, WPARAM(std::max(control->TextEntryLength(), 0)), 0);
  SendMessageA(field, EM_SETSEL, 0, -1);
  // Ours first, so that the field's focus arrives as state 1.
  mDefaultEditProc = SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Messages::TextField));
  SetFocus(field);
}

LRESULT CALLBACK IGraphicsWin::Messages::TextField(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* editor = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(GetParent(wnd), GWLP_USERDATA));
  if (!editor || editor->mTextEntry != wnd || !editor->mDefaultEditProc) {
    return DefWindowProcA(wnd, message, wParam, lParam);
  }
  const auto own = reinterpret_cast<WNDPROC>(editor->mDefaultEditProc);
  switch (message) {
    case WM_SETFOCUS:
      editor->mTextEntryState = kEntryFocused;
      break;
    case WM_KILLFOCUS:
      editor->mTextEntryState = kEntryCommit;
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        editor->mTextEntryState = kEntryCommit;
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        editor->mTextEntryState = kEntryCancel;
        return 0;
      }
      break;
    case WM_CHAR:
      if (editor->mTextEntryParam && !TextEntryAccepts(editor->mTextEntryParam, char(wParam))) return 0;
      break;
    case WM_GETDLGCODE:
      if (!editor->mTextEntryParam) {
        LRESULT answer = CallWindowProcA(own, wnd, message, wParam, lParam);
        const MSG* asked = reinterpret_cast<const MSG*>(lParam);
        if (asked && asked->wParam == VK_RETURN) answer |= DLGC_WANTALLKEYS;
        return answer;
      }
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        editor->mTextEntryState = kEntryCommit;
        return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(own, wnd, message, wParam, lParam);
}

void IGraphicsWin::CommitTextEntry() {
  char text[32] = {};
  GetWindowTextA(mTextEntry, text, sizeof text);  // at most 31 characters
  IControl* control = mTextEntryControl;
  const Param* param = mTextEntryParam;
  CloseTextEntry();
  if (control) IGraphics::CommitTextEntry(*control, param, text);
}

void IGraphicsWin::CloseTextEntry() {
  if (mTextEntry) {
    SetWindowLongPtrA(mTextEntry, GWLP_WNDPROC, mDefaultEditProc);
    DestroyWindow(mTextEntry);
  }
  if (mTextEntryFont) DeleteObject(mTextEntryFont);
  mTextEntry = nullptr;
  mTextEntryFont = nullptr;
  mDefaultEditProc = 0;
  mTextEntryControl = nullptr;
  mTextEntryParam = nullptr;
  mTextEntryState = kEntryNone;
}

void IGraphicsWin::EndTextEntry() { mTextEntryState = kEntryCancel; }

}  // namespace velmora
