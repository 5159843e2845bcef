// Modal showing and message boxes: which window owns which while it is up, and who is kept
// from input meanwhile.
#include <exception>

#include "platform/win32/message_box.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_desktop.h"

namespace kv::win32 {

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
  runModalEvents(stillOpen);
}

void Win32Desktop::enableOwnerOf(HWND modalWindow) {
  for (ModalFrame& frame : modal_) {
    if (frame.window == modalWindow && frame.ownerDisabled) {
      EnableWindow(frame.owner, TRUE);
      frame.ownerDisabled = false;
    }
  }
}

HWND Win32Desktop::standInOwner() const {
  for (const auto& entry : windows_)
    if (entry.second->layout.style == WindowStyle::Hidden && !entry.second->destroyed) return entry.first;
  return nullptr;
}

HWND Win32Desktop::ownerOrStandIn(WindowHandle owner) const {
  HWND window = toHwnd(owner);
  return window && IsWindow(window) ? window : standInOwner();
}

// The system keeps the owner from input; the program's other windows are kept from it here, and
// the entry rule holds off the program's entries, so that nothing the program does is re-entered
// or unloaded under the box.
void Win32Desktop::messageBox(WindowHandle owner, const std::string& text, const std::string& caption) {
  ++boxesUp_;
  const std::vector<WindowHandle> others = disableAllBut(owner);
  bool up = true;
  const std::function<void()> closed = [&] {
    if (!up) return;
    up = false;
    enableAgain(others);
    --boxesUp_;
  };
  struct Gone {  // whatever way the box ends
    const std::function<void()>& closed;
    ~Gone() { closed(); }
  } gone{closed};
  showMessageBox(owner, text, caption, closed);
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
  // Timer ticks and tray callbacks still arrive at a disabled window; the entry rule holds them off.
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

void Win32Desktop::runEntry(const std::function<void()>& entry, UnderBox underBox) {
  if (messageBoxUp()) {
    if (underBox == UnderBox::BringsItUp) bringMessageBoxToFront();
    if (underBox != UnderBox::Runs) return;
  }
  std::string reason;
  try {
    entry();
    return;
  } catch (const std::exception& e) {
    reason = e.what();
  }
  messageBox(0, notice_.lead + "\r\n\r\n" + reason, notice_.caption);
  process_.end(1);
}

}  // namespace kv::win32
