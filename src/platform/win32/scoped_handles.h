#pragma once
// Handles given back when their scope ends: a window's device context, an object selected into
// a device context, a menu, a hook, a kernel object. Each is made and given back in one place,
// whatever path leaves.
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

// A handle of one kind, given back with Free; null: none.
template <typename Handle, BOOL(WINAPI* Free)(Handle)>
class Owned {
 public:
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() {
    if (handle_) Free(handle_);
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Handle get() const { return handle_; }
  Handle release() {  // handed to another owner, e.g. a menu to the window that destroys it with itself
    Handle handle = handle_;
    handle_ = nullptr;
    return handle;
  }

 private:
  Handle handle_;
};

using OwnedMenu = Owned<HMENU, DestroyMenu>;
using OwnedHandle = Owned<HANDLE, CloseHandle>;  // an event's or a thread's

}  // namespace kv::win32
