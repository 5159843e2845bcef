// What the program sets and reads on a window's controls (texts, checks, the drive list), how wide
// a text is drawn, and the popup menus.
#include "platform/failure.h"
#include "platform/win32/scoped_handles.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_menus.h"

namespace kv::win32 {

Control& Win32Desktop::control(WindowHandle handle, int id) const {
  std::shared_ptr<NativeWindow> window = find(toHwnd(handle));
  if (!window) throw Failure("A control was asked for on a window that does not exist.");
  Control* found = window->control(id);
  if (!found || !found->hwnd)
    throw Failure("The window " + window->layout.name + " has no control " + std::to_string(id) + ".");
  return *found;
}

void Win32Desktop::setText(WindowHandle handle, int id, const std::string& text) {
  SetWindowTextW(control(handle, id).hwnd, fromAnsi(text).c_str());
}

void Win32Desktop::setVisible(WindowHandle handle, int id, bool visible) {
  Control& c = control(handle, id);
  if (visible) {
    ShowWindow(c.hwnd, SW_SHOWNA);
    return;
  }
  const bool hadFocus = GetFocus() == c.hwnd;
  ShowWindow(c.hwnd, SW_HIDE);
  if (hadFocus) {  // a hidden control keeps the keys otherwise
    HWND next = GetNextDlgTabItem(c.window->hwnd, c.hwnd, FALSE);
    SetFocus(next && next != c.hwnd ? next : c.window->hwnd);
  }
}

void Win32Desktop::setChecked(WindowHandle handle, int id, bool checked) {
  SendMessageW(control(handle, id).hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32Desktop::setItems(WindowHandle handle, int id, const std::vector<std::string>& items, int current) {
  HWND list = control(handle, id).hwnd;
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items)
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fromAnsi(item).c_str()));
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(current), 0);
}

std::string Win32Desktop::currentItem(WindowHandle handle, int id) {
  HWND list = control(handle, id).hwnd;
  const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return {};
  const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied =
      SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  if (copied == CB_ERR) return {};
  text.resize(static_cast<size_t>(copied));
  return toAnsi(text);
}

int Win32Desktop::popupMenu(WindowHandle ownerHandle, const Menu& menu) {
  HWND owner = toHwnd(ownerHandle);
  OwnedMenu popup(buildPopupMenu(menu));
  // The owner must be the foreground window, or the menu stays open when the user clicks
  // elsewhere; the null message afterwards lets the menu close properly.
  SetForegroundWindow(owner);
  POINT at{};
  GetCursorPos(&at);
  const int chosen = static_cast<int>(
      TrackPopupMenu(popup.get(), TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  return chosen;
}

int Win32Desktop::textWidth(WindowHandle handle, const Font& font, const std::string& text) {
  std::shared_ptr<NativeWindow> window = find(toHwnd(handle));
  if (!window) throw Failure("A text was measured for a window that does not exist.");
  const std::wstring wide = fromAnsi(text);
  WindowDc dc(window->hwnd);
  Selected inFont(dc, window->paint.font(font, window->scale));
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return window->scale.twips(size.cx);
}

}  // namespace kv::win32
