#pragma once
// The one way the program registers its window classes.
#include <string>

#include "platform/win32/win32_api.h"

namespace kv::win32 {

// A class of the program's module with this procedure; the caller adds icons or a cursor.
WNDCLASSEXW windowClass(HINSTANCE module, const wchar_t* name, WNDPROC procedure);

// Registers the class; one this process registered before is taken as it is. Otherwise a
// failure says what the class was for.
void registerWindowClass(const WNDCLASSEXW& kind, const std::string& failure);

}  // namespace kv::win32
