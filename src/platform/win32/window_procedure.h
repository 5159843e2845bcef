#pragma once
// The procedure of every top-level window of the program: the system's messages turned into the
// window's events, with the controls and the pointer sorted on the way.
#include "platform/win32/win32_api.h"

namespace kv::win32 {

LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);

}  // namespace kv::win32
