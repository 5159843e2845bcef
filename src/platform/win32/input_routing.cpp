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
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      phase = Pointer::Down;
      button = MouseButton::Left;
      return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      phase = Pointer::Down;
      button = MouseButton::Right;
      return true;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      phase = Pointer::Down;
      button = MouseButton::Middle;
      return true;
    case WM_LBUTTONUP:
      phase = Pointer::Up;
      button = MouseButton::Left;
      return true;
    case WM_RBUTTONUP:
      phase = Pointer::Up;
      button = MouseButton::Right;
      return true;
    case WM_MBUTTONUP:
      phase = Pointer::Up;
      button = MouseButton::Middle;
      return true;
    case WM_MOUSEMOVE:
      phase = Pointer::Move;
      button = MouseButton::Left;
      return true;
    default:
      return false;
  }
}

void pointerEvent(NativeWindow& window, HWND source, int id, bool forwards, Pointer phase, MouseButton button,
                  LPARAM lParam) {
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (source != window.hwnd) MapWindowPoints(source, window.hwnd, &at, 1);
  const DpiScale& scale = window.host.scale();
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
