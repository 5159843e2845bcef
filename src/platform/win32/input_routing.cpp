#include "platform/win32/input_routing.h"

#include <windowsx.h>

#include "platform/win32/win32_desktop.h"

namespace kv::win32 {
namespace {

constexpr BOOL kGetMessageFailed = -1;

}  // namespace

void Win32Desktop::runEvents() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatch(message);
}

void Win32Desktop::runModalEvents(const std::function<bool()>& stillOpen) {
  while (stillOpen()) {
    MSG message;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == kGetMessageFailed) break;
    if (got == 0) {  // the outer loop must see the quit as well
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    dispatch(message);
  }
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

bool classifyPointer(UINT message, Pointer& phase, MouseButton& button) {
  struct Sorted {
    UINT message;
    Pointer phase;
    MouseButton button;
  };
  // A double click is a press like any other; a move carries no button of its own.
  static const Sorted kMouseMessages[] = {
      {WM_LBUTTONDOWN, Pointer::Down, MouseButton::Left},   {WM_LBUTTONDBLCLK, Pointer::Down, MouseButton::Left},
      {WM_RBUTTONDOWN, Pointer::Down, MouseButton::Right},  {WM_RBUTTONDBLCLK, Pointer::Down, MouseButton::Right},
      {WM_MBUTTONDOWN, Pointer::Down, MouseButton::Middle}, {WM_MBUTTONDBLCLK, Pointer::Down, MouseButton::Middle},
      {WM_LBUTTONUP, Pointer::Up, MouseButton::Left},       {WM_RBUTTONUP, Pointer::Up, MouseButton::Right},
      {WM_MBUTTONUP, Pointer::Up, MouseButton::Middle},     {WM_MOUSEMOVE, Pointer::Move, MouseButton::Left},
  };
  for (const Sorted& sorted : kMouseMessages) {
    if (sorted.message == message) {
      phase = sorted.phase;
      button = sorted.button;
      return true;
    }
  }
  return false;
}

void pointerEvent(NativeWindow& window, HWND source, int id, bool forwards, Pointer phase, MouseButton button,
                  LPARAM lParam) {
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (source != window.hwnd) MapWindowPoints(source, window.hwnd, &at, 1);
  // At the desktop's scale, as the window's place is: the window follows the pointer pixel for
  // pixel on a monitor of any DPI.
  const DpiScale scale = DpiScale::ofDesktop();
  const int x = scale.twips(at.x);
  const int y = scale.twips(at.y);

  switch (phase) {
    case Pointer::Down:
      // The source keeps the mouse until the release, so press, moves and release share it.
      if (GetCapture() != source) SetCapture(source);
      if (forwards) window.deliver([=](WindowEvents& e) { e.mouseDown(button, x, y); });
      break;
    case Pointer::Move:
      if (forwards) window.deliver([=](WindowEvents& e) { e.mouseMove(x, y); });
      break;
    case Pointer::Up:
      if (GetCapture() == source) ReleaseCapture();
      if (forwards && !window.deliver([=](WindowEvents& e) { e.mouseUp(button, x, y); })) return;
      window.deliver([=](WindowEvents& e) { e.released(id, button); });
      break;
  }
}

}  // namespace kv::win32
