#include "platform/win32/input_routing.h"

#include <windowsx.h>

namespace kv::win32 {

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
