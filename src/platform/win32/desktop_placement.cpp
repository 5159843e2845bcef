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
  layOut(*window);
}

const DpiScale& Win32Desktop::scaleOf(WindowHandle handle) const {
  std::shared_ptr<NativeWindow> window = find(toHwnd(handle));
  return window ? window->scale : systemScale_;
}

Rect Win32Desktop::bounds(WindowHandle handle) {
  const DpiScale& scale = scaleOf(handle);
  RECT outer{};
  GetWindowRect(toHwnd(handle), &outer);
  return Rect{scale.twips(outer.left), scale.twips(outer.top), scale.twips(outer.right - outer.left),
              scale.twips(outer.bottom - outer.top)};
}

void Win32Desktop::moveTo(WindowHandle handle, int left, int top) {
  const DpiScale& scale = scaleOf(handle);
  SetWindowPos(toHwnd(handle), nullptr, scale.pixels(left), scale.pixels(top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Desktop::setTopmost(WindowHandle handle, bool topmost) {
  // Position and size stay; no other flag is given (so the call may also activate the window).
  SetWindowPos(toHwnd(handle), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

int Win32Desktop::screenWidth() {
  return DpiScale::ofPrimaryMonitor().twips(GetSystemMetrics(SM_CXSCREEN));
}

}  // namespace kv::win32
