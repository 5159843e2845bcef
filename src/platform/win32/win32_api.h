#pragma once
// The one place that pulls in the Windows headers, with the same settings for every file of
// the adapter: Windows 7 declarations, no min/max macros, Unicode by default.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef WINVER
#define WINVER 0x0601
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#include <windows.h>

#include <cstdint>

#include "platform/window_layout.h"

namespace kv::win32 {

// The program's window handles and the system's: the one conversion, both ways.
inline HWND toHwnd(WindowHandle handle) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
}
inline WindowHandle toHandle(HWND hwnd) {
  return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(hwnd));
}

}  // namespace kv::win32
