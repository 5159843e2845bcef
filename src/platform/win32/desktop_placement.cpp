// Where the program's windows stand: shown or hidden, their place on the screen in twips and
// their place in the topmost order.
#include "platform/win32/win32_desktop.h"

namespace kv::win32 {

void Win32Desktop::show(WindowHandle handle) {
  HWND hwnd = toHwnd(handle);
  std::shared_ptr<NativeWindow> window = find(hwnd);
  if (window && window->layout.style == WindowStyle::Hidden) return;
  ShowWindow(hwnd, SW_SHOW);
}

void Win32Desktop::hide(WindowHandle handle) {
  HWND hwnd = toHwnd(handle);
  enableOwnerOf(hwnd);
  ShowWindow(hwnd, SW_HIDE);
}

void Win32Desktop::bringToFront(WindowHandle handle) {
  HWND hwnd = toHwnd(handle);
  ShowWindow(hwnd, IsIconic(hwnd) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd);
}

Rect Win32Desktop::bounds(WindowHandle handle) {
  RECT outer{};
  GetWindowRect(toHwnd(handle), &outer);
  return Rect{scale_.twips(outer.left), scale_.twips(outer.top), scale_.twips(outer.right - outer.left),
              scale_.twips(outer.bottom - outer.top)};
}

void Win32Desktop::moveTo(WindowHandle handle, int left, int top) {
  SetWindowPos(toHwnd(handle), nullptr, scale_.pixels(left), scale_.pixels(top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Desktop::setTopmost(WindowHandle handle, bool topmost) {
  // Position and size stay; no other flag is given (so the call may also activate the window).
  SetWindowPos(toHwnd(handle), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

int Win32Desktop::screenWidth() {
  return scale_.twips(GetSystemMetrics(SM_CXSCREEN));
}

}  // namespace kv::win32
