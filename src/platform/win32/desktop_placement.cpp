// Where the program's windows stand: shown or hidden, their place on the screen in twips and
// their place in the topmost order.
#include "platform/win32/win32_controls.h"
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

void Win32Desktop::relayout(WindowHandle handle, const WindowLayout& layout) {
  HWND hwnd = toHwnd(handle);
  std::shared_ptr<NativeWindow> window = find(hwnd);
  if (!window) return;
  window->layout.clientWidth = layout.clientWidth;
  window->layout.clientHeight = layout.clientHeight;
  for (const ControlLayout& given : layout.controls) {
    for (ControlLayout& own : window->layout.controls)
      if (own.id == given.id) own.rect = given.rect;
    for (Control& control : window->controls)
      if (control.layout.id == given.id) control.layout.rect = given.rect;
  }
  // The frame first, so that no control is placed beyond the client area it had.
  RECT outer{0, 0, scale_.pixels(layout.clientWidth), scale_.pixels(layout.clientHeight)};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), GetMenu(hwnd) != nullptr,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
  SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  placeControls(*window);
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
