#pragma once
// Handles given back when their scope ends: a window's device context, an object selected into
// a device context, a menu, a kernel object. Each is made and given back in one place, whatever path leaves.
#include "platform/win32/win32_api.h"

namespace kv::win32 {

class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}  // null: the screen's
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  operator HDC() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), before_(SelectObject(dc, object)) {}
  ~Selected() {
    if (before_) SelectObject(dc_, before_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ before_;
};

class OwnedMenu {
 public:
  explicit OwnedMenu(HMENU menu) : menu_(menu) {}
  ~OwnedMenu() {
    if (menu_) DestroyMenu(menu_);
  }
  OwnedMenu(const OwnedMenu&) = delete;
  OwnedMenu& operator=(const OwnedMenu&) = delete;
  HMENU get() const { return menu_; }
  HMENU release() {  // handed to a window, which destroys it with itself
    HMENU menu = menu_;
    menu_ = nullptr;
    return menu;
  }

 private:
  HMENU menu_;
};

class OwnedHandle {  // an event's or a thread's; null: none
 public:
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle() {
    if (handle_) CloseHandle(handle_);
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace kv::win32
