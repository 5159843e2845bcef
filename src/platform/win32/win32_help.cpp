#include "platform/win32/win32_help.h"

#include "platform/win32/text_encoding.h"

namespace kv::win32 {

void Win32Help::show(WindowHandle owner, const std::string& file, HelpCommand command, unsigned long topic) {
  HWND window = toHwnd(owner);
  if (!window || !IsWindow(window)) window = desktop_.hiddenWindow();
  WinHelpA(window, ansiPath(file).c_str(), static_cast<UINT>(command), static_cast<ULONG_PTR>(topic));
}

}  // namespace kv::win32
