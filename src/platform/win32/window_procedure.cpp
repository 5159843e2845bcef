#include "platform/win32/window_procedure.h"

#include "platform/win32/diagnostics.h"
#include "platform/win32/input_routing.h"
#include "platform/win32/win32_controls.h"

#include <dbt.h>  // after the system's own headers, which it needs

namespace kv::win32 {
namespace {

bool isDialog(const NativeWindow& window) {
  return window.layout.style == WindowStyle::Dialog;
}

// The dialog manager's habit for a window that is not a dialog box: on activation the focus
// goes back to the control that had it, or to the first control that takes the tab key.
void restoreFocus(NativeWindow& window) {
  HWND target = window.savedFocus;
  if (!target || !IsWindow(target) || !IsChild(window.hwnd, target) || !IsWindowVisible(target) ||
      !IsWindowEnabled(target))
    target = GetNextDlgTabItem(window.hwnd, nullptr, FALSE);
  SetFocus(target ? target : window.hwnd);
}

LRESULT onCommand(NativeWindow& window, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (lParam == 0) {
    // A menu entry or its shortcut. The dialog manager's Enter and Esc arrive here too, as
    // IDOK and IDCANCEL; they belong to no menu entry and are dropped.
    if (window.menuCommands.count(id)) window.deliver([id](WindowEvents& e) { e.menuChosen(id); });
    return 0;
  }
  Control* control = window.control(reinterpret_cast<HWND>(lParam));
  if (!control || HIWORD(wParam) != BN_CLICKED) return 0;
  const ControlKind kind = control->layout.kind;
  if (kind == ControlKind::Button || kind == ControlKind::CheckBox)
    window.deliver([id](WindowEvents& e) { e.controlClicked(id); });
  return 0;
}

// The window behind a system window of ours, kept alive for as long as the caller holds it.
std::shared_ptr<NativeWindow> attachedWindow(HWND hwnd) {
  auto* raw = reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return raw ? raw->weak_from_this().lock() : nullptr;
}

// Colours a control asks its window for before it paints; null for a child that is not one of
// the window's controls.
HBRUSH controlColours(NativeWindow& window, HWND child, HDC dc) {
  Control* control = window.control(child);
  if (!control) return nullptr;
  const ControlLayout& layout = control->layout;
  const Colour back = layout.transparentBack ? window.layout.back : layout.back;
  SetTextColor(dc, RGB(layout.fore.r, layout.fore.g, layout.fore.b));
  SetBkColor(dc, RGB(back.r, back.g, back.b));
  return control->back;
}

// The shell's announcement that the taskbar was created anew (Explorer restarted).
UINT taskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

// A press of any button: while a message box is up, one on the program brings the box forward.
bool isPress(UINT mouseMessage) {
  Pointer phase;
  MouseButton button;
  return classifyPointer(mouseMessage, phase, button) && phase == Pointer::Down;
}

}  // namespace

LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT figure;
  if (answerDiagnostics(message, figure)) return figure;

  if (message == WM_NCCREATE) {
    auto* created = static_cast<NativeWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  std::shared_ptr<NativeWindow> window = attachedWindow(hwnd);
  if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
  NativeWindow& w = *window;

  if (message == taskbarCreatedMessage()) {
    w.deliver([](WindowEvents& e) { e.taskbarCreated(); }, UnderBox::Runs);
    return 0;
  }

  Pointer phase;
  MouseButton button;
  if (classifyPointer(message, phase, button)) {
    if (w.layout.style == WindowStyle::Hidden) {
      // The hidden window is never on the screen: every mouse move it gets is the tray icon's
      // callback, with the mouse message that happened over the icon in the low word.
      if (message == WM_MOUSEMOVE) {
        const unsigned mouseMessage = LOWORD(lParam);
        w.deliver([mouseMessage](WindowEvents& e) { e.trayMessage(mouseMessage); },
                  isPress(mouseMessage) ? UnderBox::BringsItUp : UnderBox::Dropped);
      }
      return 0;
    }
    pointerEvent(w, hwnd, 0, true, phase, button, lParam);
    return 0;
  }

  switch (message) {
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(hwnd, &area);
      FillRect(reinterpret_cast<HDC>(wParam), &area, w.back);
      return TRUE;  // erased
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (HBRUSH brush = controlColours(w, reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
        return reinterpret_cast<LRESULT>(brush);
      break;
    case WM_COMMAND:
      return onCommand(w, wParam, lParam);
    case WM_SETCURSOR:
      // The pointer on a window of ours that takes no input. The system brings a message box
      // forward only over its own owner; a press on the program's other windows does it here.
      if (static_cast<short>(LOWORD(lParam)) == HTERROR && isPress(HIWORD(lParam)))
        w.deliver([](WindowEvents&) {}, UnderBox::BringsItUp);
      break;
    case WM_TIMER:
      if (wParam == kRefreshTimer) w.deliver([](WindowEvents& e) { e.timer(); });
      return 0;
    case WM_DPICHANGED: {
      // On a monitor of another DPI (or its DPI changed): the place the system suggests, then
      // everything anew at the window's twips.
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      w.scale = DpiScale(LOWORD(wParam));
      SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      rescale(w);
      // Under a message box too: what the window measured before no longer holds.
      w.deliver([](WindowEvents& e) { e.rescaled(); }, UnderBox::Runs);
      return 0;
    }
    case WM_DEVICECHANGE:
      if ((wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) && lParam &&
          reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)->dbch_devicetype == DBT_DEVTYP_VOLUME)
        w.deliver([](WindowEvents& e) { e.drivesChanged(); });
      return TRUE;
    case WM_DISPLAYCHANGE:
      w.deliver([](WindowEvents& e) { e.desktopChanged(); }, UnderBox::Runs);
      break;
    case WM_ENDSESSION:
      // The session ends for certain (not merely asked about): the system may end the process
      // as soon as this returns. Taken under a message box too: it is the last chance.
      if (wParam) w.deliver([](WindowEvents& e) { e.sessionEnding(); }, UnderBox::Runs);
      return 0;
    case WM_CLOSE:
      w.deliver([](WindowEvents& e) { e.closeRequested(); });
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) w.savedFocus = focus;
        break;
      }
      w.host.windowActivated(w);
      if (w.destroyed) return 0;
      if (isDialog(w)) {
        restoreFocus(w);
        return 0;
      }
      break;  // the system gives the window itself the focus
    case WM_NCDESTROY:
      w.destroyed = true;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      w.releaseResources();  // the controls are gone by now, so their fonts and bitmaps may go
      w.host.windowGone(w);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace kv::win32
