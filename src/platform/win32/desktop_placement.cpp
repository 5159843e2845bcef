// Where the program's windows stand: shown or hidden, their place on the screen in twips and
// their place in the topmost order, and the monitors of the desktop.
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

// Places on the desktop share one scale, the primary monitor's: a place turned into twips on a
// monitor of one DPI comes back to the same pixel wherever the window is then. (At each window's
// own DPI, a window left at -1000 px on a 144-DPI monitor came back at -667 px.)
Rect Win32Desktop::bounds(WindowHandle handle) {
  RECT outer{};
  GetWindowRect(toHwnd(handle), &outer);
  return DpiScale::ofDesktop().twips(outer);
}

void Win32Desktop::moveTo(WindowHandle handle, int left, int top) {
  const DpiScale scale = DpiScale::ofDesktop();
  SetWindowPos(toHwnd(handle), nullptr, scale.pixels(left), scale.pixels(top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Desktop::setTopmost(WindowHandle handle, bool topmost) {
  // Position and size stay; no other flag is given (so the call may also activate the window).
  SetWindowPos(toHwnd(handle), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

namespace {

struct MonitorList {
  DpiScale scale;
  std::vector<Rect> areas;
};

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  auto& found = *reinterpret_cast<MonitorList*>(list);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  const Rect area = found.scale.twips(info.rcMonitor);
  if (info.dwFlags & MONITORINFOF_PRIMARY)
    found.areas.insert(found.areas.begin(), area);
  else
    found.areas.push_back(area);
  return TRUE;
}

}  // namespace

std::vector<Rect> Win32Desktop::monitors() {
  MonitorList found{DpiScale::ofDesktop(), {}};
  EnumDisplayMonitors(nullptr, nullptr, &addMonitor, reinterpret_cast<LPARAM>(&found));
  if (found.areas.empty())  // a system that lists none still has its primary screen
    found.areas.push_back(found.scale.twips(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
  return found.areas;
}

}  // namespace kv::win32
