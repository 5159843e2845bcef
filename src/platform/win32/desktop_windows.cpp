// Making and ending the program's windows: their classes, frames, icons and timers, and the
// hidden window that keeps the borderless ones out of the taskbar.
#include <utility>

#include "platform/failure.h"
#include "platform/win32/common_controls.h"
#include "platform/win32/diagnostics.h"
#include "platform/win32/scoped_handles.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_menus.h"
#include "platform/win32/window_class.h"
#include "platform/win32/window_procedure.h"
#include "resource_ids.h"

namespace kv::win32 {
namespace {

constexpr wchar_t kTaskbarHidingOwnerClass[] = L"Kestrovan99Owner";

std::wstring className(const std::string& name) {
  return L"Kestrovan99_" + fromAnsi(name);
}

// The class of the program's windows of this name, registered with the first of them: the
// windows' procedure, the program's icons and the arrow. Returns the class's name.
std::wstring registerProgramClass(HINSTANCE module, const std::string& name, HICON bigIcon, HICON smallIcon) {
  std::wstring wide = className(name);
  WNDCLASSEXW kind = windowClass(module, wide.c_str(), &windowProcedure);
  kind.hIcon = bigIcon;
  kind.hIconSm = smallIcon;
  kind.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  registerWindowClass(kind, "The window class of " + name + " could not be registered.");
  return wide;
}

void frameStyle(WindowStyle kind, DWORD& style, DWORD& exStyle) {
  // No WS_CLIPCHILDREN: a frame never paints its inside, which shows the window's background.
  style = 0;
  exStyle = 0;
  switch (kind) {
    case WindowStyle::Hidden:
      // Never shown, but a top-level window, so that it can be made the foreground window
      // while its menus are up.
      style |= WS_POPUP;
      exStyle |= WS_EX_TOOLWINDOW;
      break;
    case WindowStyle::Borderless:
      // A fixed dialog frame without caption bar, kept out of the taskbar.
      style |= WS_POPUP | WS_DLGFRAME;
      exStyle |= WS_EX_TOOLWINDOW;
      break;
    case WindowStyle::Dialog:
      style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
      exStyle |= WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
      break;
  }
}

// The top-left corner that centres a window of this size on the work area.
POINT centredOnWorkArea(int width, int height) {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return POINT{work.left + (work.right - work.left - width) / 2, work.top + (work.bottom - work.top - height) / 2};
}

LRESULT CALLBACK ownerProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Never shown and without events of its own; like every window of the program it answers
  // the questions of outside tools.
  LRESULT figure;
  if (answerDiagnostics(message, figure)) return figure;
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Labels draw the same in the system's plain set and in the common controls; any other control
// looks as the system's theme has it only in the common controls.
bool needsCommonControls(const WindowLayout& layout) {
  for (const ControlLayout& control : layout.controls)
    if (control.kind != ControlKind::Label) return true;
  return false;
}

HICON loadIcon(HINSTANCE module, int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, GetSystemMetrics(widthMetric),
                                       GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

}  // namespace

Win32Desktop::Win32Desktop(HINSTANCE module, Process& process, FailureNotice notice)
    : module_(module), process_(process), notice_(std::move(notice)), systemScale_(DpiScale::ofScreen()) {}

Win32Desktop::~Win32Desktop() {
  std::vector<HWND> remaining;
  for (auto& entry : windows_) remaining.push_back(entry.first);
  for (HWND hwnd : remaining) destroy(toHandle(hwnd));
  if (taskbarHidingOwner_) DestroyWindow(taskbarHidingOwner_);
  if (ownIcons_) {
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_ && smallIcon_ != bigIcon_) DestroyIcon(smallIcon_);
  }
}

void Win32Desktop::loadIcons() {
  if (bigIcon_ && smallIcon_) return;
  bigIcon_ = loadIcon(module_, SM_CXICON, SM_CYICON);
  smallIcon_ = loadIcon(module_, SM_CXSMICON, SM_CYSMICON);
  ownIcons_ = bigIcon_ && smallIcon_;
  if (!ownIcons_) {
    // An executable without its icon still gets a tray icon: the system's own.
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
    bigIcon_ = smallIcon_ = LoadIconW(nullptr, IDI_APPLICATION);
  }
}

HWND Win32Desktop::taskbarHidingOwner() {
  if (taskbarHidingOwner_ && IsWindow(taskbarHidingOwner_)) return taskbarHidingOwner_;
  registerWindowClass(windowClass(module_, kTaskbarHidingOwnerClass, &ownerProcedure),
                      "The window class of the windows' owner could not be registered.");
  taskbarHidingOwner_ = CreateWindowExW(WS_EX_TOOLWINDOW, kTaskbarHidingOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                        nullptr, module_, nullptr);
  if (!taskbarHidingOwner_) throw Failure("The windows' owner could not be created.");
  return taskbarHidingOwner_;
}

WindowHandle Win32Desktop::create(const WindowLayout& layout, WindowEvents& events) {
  loadIcons();
  const std::wstring windowClassName = registerProgramClass(module_, layout.name, bigIcon_, smallIcon_);

  auto window = std::make_shared<NativeWindow>(layout, events, static_cast<WindowHost&>(*this), systemScale_);
  preparePaint(*window);
  window->accelerators = buildAccelerators(layout.menuBar);
  window->menuCommands = menuCommands(layout.menuBar);

  DWORD style, exStyle;
  frameStyle(layout.style, style, exStyle);
  OwnedMenu bar(layout.menuBar.empty() ? nullptr : buildMenuBar(layout.menuBar));
  RECT outer{0, 0, systemScale_.pixels(layout.clientWidth), systemScale_.pixels(layout.clientHeight)};
  AdjustWindowRectEx(&outer, style, bar.get() != nullptr, exStyle);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const POINT at = layout.style == WindowStyle::Dialog ? centredOnWorkArea(width, height) : POINT{0, 0};

  HWND owner = layout.style == WindowStyle::Borderless ? taskbarHidingOwner() : nullptr;
  const CommonControls themed(needsCommonControls(layout));
  HWND hwnd = CreateWindowExW(exStyle, windowClassName.c_str(), fromAnsi(layout.caption).c_str(), style, at.x, at.y,
                              width, height, owner, bar.get(), module_, window.get());
  if (!hwnd) throw Failure("The window " + layout.name + " could not be created.");
  bar.release();  // the window's now
  windows_[hwnd] = window;
  window->scale = DpiScale::ofWindow(hwnd);

  try {
    createControls(*window, module_);
  } catch (...) {
    destroy(toHandle(hwnd));
    throw;
  }
  // At the window's own DPI, and with room for a menu bar that wraps onto a second line, which
  // the frame calculation above does not know of.
  layOut(*window);

  SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  return toHandle(hwnd);
}

void Win32Desktop::destroy(WindowHandle handle) {
  HWND hwnd = toHwnd(handle);
  std::shared_ptr<NativeWindow> window = find(hwnd);
  if (!window) return;
  window->destroyed = true;
  enableOwnerOf(hwnd);
  KillTimer(hwnd, kRefreshTimer);
  DestroyWindow(hwnd);
}

IconHandle Win32Desktop::iconHandle(WindowHandle) {
  loadIcons();
  return reinterpret_cast<IconHandle>(smallIcon_);
}

void Win32Desktop::startTimer(WindowHandle handle, unsigned milliseconds) {
  SetTimer(toHwnd(handle), kRefreshTimer, milliseconds, nullptr);
}

void Win32Desktop::stopTimer(WindowHandle handle) {
  KillTimer(toHwnd(handle), kRefreshTimer);
}

std::shared_ptr<NativeWindow> Win32Desktop::find(HWND hwnd) const {
  if (!hwnd) return nullptr;
  auto found = windows_.find(hwnd);
  return found == windows_.end() ? nullptr : found->second;
}

void Win32Desktop::windowActivated(NativeWindow& window) {
  window.deliver([](WindowEvents& e) { e.activated(); });
}

void Win32Desktop::windowGone(NativeWindow& window) {
  windows_.erase(window.hwnd);
}

}  // namespace kv::win32
