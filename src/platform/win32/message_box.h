#pragma once
// The system's message box, watched from the thread that shows it: its window while it is up,
// and the moment it leaves the screen, which comes before the system activates its owner again.
#include <functional>
#include <string>

#include "platform/win32/win32_api.h"

namespace kv::win32 {

// Shows MessageBoxW and returns when the box is gone. closed runs once: as soon as the box has
// left the screen, before the system hands the activation back to the owner.
void runMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style,
                   const std::function<void()>& closed);

// The message box the program shows now (the innermost), or null.
HWND messageBoxOnScreen();

}  // namespace kv::win32
