#include "platform/win32/win32_help.h"

#include "platform/win32/text_encoding.h"

namespace kv::win32 {

void Win32Help::show(WindowHandle owner, const std::string& file, unsigned command, unsigned long topic) {
  WinHelpA(desktop_.ownerOrStandIn(owner), ansiPath(file).c_str(), command, static_cast<ULONG_PTR>(topic));
}

}  // namespace kv::win32
