#include "platform/win32/win32_desktop.h"

#include <cstdint>
#include <utility>

#include "platform/failure.h"
#include "platform/win32/diagnostics.h"
#include "platform/win32/gdi_count.h"
#include "platform/win32/message_box.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_menus.h"
#include "platform/win32/window_class.h"
#include "resource_ids.h"

namespace kv::win32 {
namespace {

std::wstring className(const std::string& name) {
  return L"Kestrovan99_" + fromAnsi(name);
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

LRESULT CALLBACK ownerProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Never shown and without events of its own; like every window of the program it answers
  // the questions of outside tools.
  LRESULT figure;
  if (answerDiagnostics(message, figure)) return figure;
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HICON loadIcon(HINSTANCE module, int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, GetSystemMetrics(widthMetric),
                                       GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

}  // namespace

Win32Desktop::Win32Desktop(HINSTANCE module, Process& process, FailureNotice notice)
    : module_(module), process_(process), notice_(std::move(notice)), scale_(DpiScale::ofScreen()) {}

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
  static const wchar_t kClass[] = L"Kestrovan99Owner";
  registerWindowClass(windowClass(module_, kClass, &ownerProcedure),
                      "The window class of the windows' owner could not be registered.");
  taskbarHidingOwner_ =
      CreateWindowExW(WS_EX_TOOLWINDOW, kClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, module_, nullptr);
  if (!taskbarHidingOwner_) throw Failure("The windows' owner could not be created.");
  return taskbarHidingOwner_;
}

void Win32Desktop::registerClass(const std::string& name) {
  if (classes_.count(name)) return;
  const std::wstring wide = className(name);
  WNDCLASSEXW kind = windowClass(module_, wide.c_str(), &windowProcedure);
  kind.hIcon = bigIcon_;
  kind.hIconSm = smallIcon_;
  kind.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  registerWindowClass(kind, "The window class of " + name + " could not be registered.");
  classes_.insert(name);
}

WindowHandle Win32Desktop::create(const WindowLayout& layout, WindowEvents& events) {
  loadIcons();
  registerClass(layout.name);

  auto window = std::make_shared<NativeWindow>(layout, events, static_cast<WindowHost&>(*this));
  preparePaint(*window);
  window->accelerators = buildAccelerators(layout.menuBar);
  window->menuCommands = menuCommands(layout.menuBar);

  DWORD style, exStyle;
  frameStyle(layout.style, style, exStyle);
  HMENU bar = layout.menuBar.empty() ? nullptr : buildMenuBar(layout.menuBar);
  const int clientWidth = scale_.pixels(layout.clientWidth);
  const int clientHeight = scale_.pixels(layout.clientHeight);
  RECT outer{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&outer, style, bar != nullptr, exStyle);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;

  int left = 0, top = 0;
  if (layout.style == WindowStyle::Dialog) {  // centred on the work area
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    left = work.left + (work.right - work.left - width) / 2;
    top = work.top + (work.bottom - work.top - height) / 2;
  }

  HWND owner = layout.style == WindowStyle::Borderless ? taskbarHidingOwner() : nullptr;
  HWND hwnd = CreateWindowExW(exStyle, className(layout.name).c_str(), fromAnsi(layout.caption).c_str(), style, left,
                              top, width, height, owner, bar, module_, window.get());
  if (!hwnd) {
    if (bar) DestroyMenu(bar);
    throw Failure("The window " + layout.name + " could not be created.");
  }
  windows_[hwnd] = window;

  try {
    createControls(*window, module_);
  } catch (...) {
    destroy(toHandle(hwnd));
    throw;
  }

  // A menu bar that wraps onto a second line takes more room than the frame calculation knows.
  RECT client;
  GetClientRect(hwnd, &client);
  const int missingWidth = clientWidth - (client.right - client.left);
  const int missingHeight = clientHeight - (client.bottom - client.top);
  if (missingWidth != 0 || missingHeight != 0)
    SetWindowPos(hwnd, nullptr, 0, 0, width + missingWidth, height + missingHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

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

void Win32Desktop::runModal(WindowHandle handle, WindowHandle ownerHandle, const std::function<bool()>& stillOpen) {
  HWND hwnd = toHwnd(handle);
  HWND owner = toHwnd(ownerHandle);
  ModalFrame frame{hwnd, nullptr, false, GetWindow(hwnd, GW_OWNER)};
  if (owner && owner != hwnd && IsWindow(owner)) {
    frame.owner = owner;
    SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    if (IsWindowEnabled(owner)) {
      EnableWindow(owner, FALSE);
      frame.ownerDisabled = true;
    }
  }
  modal_.push_back(frame);

  // Whatever way the loop ends, the owner gets its input back and the window loses its owner.
  struct Unwind {
    Win32Desktop& desktop;
    HWND hwnd;
    ~Unwind() {
      const ModalFrame done = desktop.modal_.back();
      desktop.modal_.pop_back();
      if (done.ownerDisabled) EnableWindow(done.owner, TRUE);
      if (done.owner && desktop.find(hwnd))
        SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(done.formerOwner));
    }
  } unwind{*this, hwnd};

  show(handle);
  while (stillOpen()) {
    MSG message;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {  // the outer loop must see the quit as well
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    dispatch(message);
  }
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

void Win32Desktop::setText(WindowHandle handle, int id, const std::string& text) {
  const std::wstring wide = fromAnsi(text);
  if (id == 0) {
    SetWindowTextW(toHwnd(handle), wide.c_str());  // the caption
    return;
  }
  SetWindowTextW(control(handle, id).hwnd, wide.c_str());
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

void Win32Desktop::startTimer(WindowHandle handle, unsigned milliseconds) {
  SetTimer(toHwnd(handle), kRefreshTimer, milliseconds, nullptr);
}

void Win32Desktop::stopTimer(WindowHandle handle) {
  KillTimer(toHwnd(handle), kRefreshTimer);
}

int Win32Desktop::popupMenu(WindowHandle ownerHandle, const Menu& menu) {
  HWND owner = toHwnd(ownerHandle);
  HMENU popup = buildPopupMenu(menu);
  // The owner must be the foreground window, or the menu stays open when the user clicks
  // elsewhere; the null message afterwards lets the menu close properly.
  SetForegroundWindow(owner);
  POINT at{};
  GetCursorPos(&at);
  const int chosen = static_cast<int>(
      TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  DestroyMenu(popup);
  return chosen;
}

HWND Win32Desktop::ownerOrStandIn(WindowHandle owner) const {
  HWND window = toHwnd(owner);
  return window && IsWindow(window) ? window : standInOwner();
}

void Win32Desktop::showMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                                  const std::function<void()>& closed) {
  // The system disables the owner and gives it back its input and the activation. A box owned
  // by a window that is not on top would open under the drive window, which is.
  UINT style = MB_OK | MB_SETFOREGROUND;
  for (const auto& entry : windows_)
    if (IsWindowVisible(entry.first) && (GetWindowLongW(entry.first, GWL_EXSTYLE) & WS_EX_TOPMOST)) style |= MB_TOPMOST;
  runMessageBox(ownerOrStandIn(owner), fromUtf8(text), fromUtf8(caption), style, closed);
}

std::vector<WindowHandle> Win32Desktop::disableAllBut(WindowHandle owner) {
  // Timer ticks and tray callbacks still arrive at a disabled window; atEntry holds them off.
  const HWND kept = ownerOrStandIn(owner);
  std::vector<WindowHandle> disabled;
  for (const auto& entry : windows_)
    if (entry.first != kept && !entry.second->destroyed && IsWindowEnabled(entry.first) &&
        !EnableWindow(entry.first, FALSE))
      disabled.push_back(toHandle(entry.first));
  return disabled;
}

void Win32Desktop::enableAgain(const std::vector<WindowHandle>& windows) {
  for (WindowHandle handle : windows)
    if (find(toHwnd(handle))) EnableWindow(toHwnd(handle), TRUE);
}

void Win32Desktop::bringMessageBoxToFront() {
  if (HWND box = messageBoxOnScreen()) SetForegroundWindow(box);
}

int Win32Desktop::screenWidth() {
  return scale_.twips(GetSystemMetrics(SM_CXSCREEN));
}

IconHandle Win32Desktop::iconHandle(WindowHandle) {
  loadIcons();
  return reinterpret_cast<IconHandle>(smallIcon_);
}

void Win32Desktop::runEvents() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatch(message);
}

HWND Win32Desktop::standInOwner() const {
  for (const auto& entry : windows_)
    if (entry.second->layout.style == WindowStyle::Hidden && !entry.second->destroyed) return entry.first;
  return nullptr;
}

void Win32Desktop::dispatch(MSG& message) {
  if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
    HWND active = GetActiveWindow();
    std::shared_ptr<NativeWindow> window = find(active);
    if (window && window->accelerators && TranslateAcceleratorW(active, window->accelerators, &message)) return;
    if (message.message == WM_KEYDOWN && message.wParam == VK_F1) {
      // F1 that no menu shortcut took: help for the window that holds the focus.
      if (std::shared_ptr<NativeWindow> focused = find(GetAncestor(message.hwnd, GA_ROOT))) {
        focused->deliver([](WindowEvents& e) { e.helpKey(); });
        return;
      }
    }
  }
  HWND active = GetActiveWindow();
  std::shared_ptr<NativeWindow> window = find(active);
  if (window && window->layout.style == WindowStyle::Dialog && IsDialogMessageW(active, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32Desktop::runEntry(const std::function<void()>& handler, UnderBox underBox) {
  atEntry(*this, process_, notice_, handler, underBox);
}

void Win32Desktop::windowActivated(NativeWindow& window) {
  window.deliver([](WindowEvents& e) { e.activated(); });
}

void Win32Desktop::windowGone(NativeWindow& window) {
  windows_.erase(window.hwnd);
}

std::shared_ptr<NativeWindow> Win32Desktop::find(HWND hwnd) const {
  if (!hwnd) return nullptr;
  auto found = windows_.find(hwnd);
  return found == windows_.end() ? nullptr : found->second;
}

Control& Win32Desktop::control(WindowHandle handle, int id) const {
  std::shared_ptr<NativeWindow> window = find(toHwnd(handle));
  if (!window) throw Failure("A control was asked for on a window that does not exist.");
  Control* found = window->control(id);
  if (!found || !found->hwnd)
    throw Failure("The window " + window->layout.name + " has no control " + std::to_string(id) + ".");
  return *found;
}

void Win32Desktop::enableOwnerOf(HWND modalWindow) {
  for (ModalFrame& frame : modal_) {
    if (frame.window == modalWindow && frame.ownerDisabled) {
      EnableWindow(frame.owner, TRUE);
      frame.ownerDisabled = false;
    }
  }
}

}  // namespace kv::win32
