#include "platform/win32/message_box.h"

#include "platform/win32/common_controls.h"
#include "platform/win32/scoped_handles.h"

namespace kv::win32 {
namespace {

struct Watch {
  const std::function<void()>& closed;
  Watch* outer;
  HWND box = nullptr;
  bool activated = false;
  bool told = false;

  void tell() {
    if (told) return;
    told = true;
    closed();
  }
};

Watch* current = nullptr;  // the windows run on one thread

// A CBT hook sees the box made (the one window it makes that is not a child) and every
// activation on this thread. Closing, the box leaves the screen and then the system activates
// its owner (EndDialog): the first activation of another window once the box, having been
// active, is off the screen.
LRESULT CALLBACK watchBox(int code, WPARAM wParam, LPARAM lParam) {
  if (Watch* w = current) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && !w->box && !(reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->style & WS_CHILD))
      w->box = window;
    if (code == HCBT_ACTIVATE && w->box) {
      if (window == w->box)
        w->activated = true;
      else if (w->activated && !IsWindowVisible(w->box))
        w->tell();
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void runMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style,
                   const std::function<void()>& closed) {
  Watch watch{closed, current};
  current = &watch;
  {
    const Owned<HHOOK, UnhookWindowsHookEx> hook{SetWindowsHookExW(WH_CBT, &watchBox, nullptr, GetCurrentThreadId())};
    const CommonControls themed;  // its buttons
    MessageBoxW(owner, text.c_str(), caption.c_str(), style);
  }
  current = watch.outer;
  watch.tell();  // a box that handed the activation to no window of ours (or a hook refused)
}

HWND messageBoxOnScreen() {
  return current && current->box && IsWindow(current->box) ? current->box : nullptr;
}

}  // namespace kv::win32
