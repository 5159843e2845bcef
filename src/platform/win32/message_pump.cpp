// The desktop's message loops, where every key is sorted before a window sees it: the menu
// shortcuts of the active window, then F1 for the window that holds the focus, then the
// dialog manager (the tab key, Enter, Escape) for a dialog.
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
  HWND active = GetActiveWindow();
  std::shared_ptr<NativeWindow> window = find(active);
  if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
    if (window && window->accelerators && TranslateAcceleratorW(active, window->accelerators, &message)) return;
    if (message.wParam == VK_F1 && !(HIWORD(message.lParam) & KF_ALTDOWN)) {
      // F1 that no menu shortcut took: help for the window that holds the focus. While nothing
      // holds it (the moment after a modal window has gone), the system hands the key to the
      // active window as a system key, still without Alt.
      if (std::shared_ptr<NativeWindow> focused = find(GetAncestor(message.hwnd, GA_ROOT))) {
        focused->deliver([](WindowEvents& e) { e.helpKey(); });
        return;
      }
    }
  }
  if (window && window->layout.style == WindowStyle::Dialog && IsDialogMessageW(active, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace kv::win32
