#include "platform/win32/win32_shell.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/failure.h"
#include "platform/win32/system_library.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_api.h"

#include <shellapi.h>

namespace kv::win32 {

// The shell gets its own structure at its first version's size: 88 bytes on 32-bit Windows,
// larger where handles are 64 bits wide. The tip is that version's 64 characters.
#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the shell's first record is 88 bytes on 32-bit Windows");
#endif
static_assert(sizeof(NOTIFYICONDATAA::szTip) >= sizeof(TrayRecord::szTip), "tip fits");

namespace {
// The shell is not imported: it is loaded from the system folder once the program has
// restricted where DLLs come from, so nothing it pulls in is taken from beside the program.
template <class Function>
Function shellFunction(const char* name) {
  Function found = systemFunction<Function>(L"shell32.dll", name);
  if (!found) throw Failure(std::string("The system's shell has no ") + name + ".");
  return found;
}
}  // namespace

bool Win32Shell::notifyIcon(TrayCommand command, const TrayRecord& record) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = toHwnd(record.hWnd);
  data.uID = record.uID;
  data.uFlags = record.uFlags;
  data.uCallbackMessage = record.uCallbackMessage;
  data.hIcon = reinterpret_cast<HICON>(record.hIcon);
  std::memcpy(data.szTip, record.szTip.data(), record.szTip.size());
  DWORD message = NIM_ADD;
  if (command == TrayCommand::Modify) message = NIM_MODIFY;
  if (command == TrayCommand::Delete) message = NIM_DELETE;
  static const auto notify = shellFunction<BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA)>("Shell_NotifyIconA");
  return notify(message, &data) != FALSE;
}

int Win32Shell::findExecutable(const std::string& document, std::string& program) {
  std::vector<char> answer(MAX_PATH * 2, '\0');  // the shell may write a full path and its NUL
  static const auto find = shellFunction<HINSTANCE(WINAPI*)(LPCSTR, LPCSTR, LPSTR)>("FindExecutableA");
  const HINSTANCE result = find(ansiPath(document).c_str(), "", answer.data());
  program.assign(answer.data());
  return static_cast<int>(reinterpret_cast<std::intptr_t>(result));
}

int Win32Shell::execute(WindowHandle owner, const std::string& program, const std::string& parameters) {
  static const auto run = shellFunction<HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)>("ShellExecuteA");
  const HINSTANCE result = run(toHwnd(owner), "open", program.c_str(), parameters.c_str(), "", SW_SHOWNORMAL);
  return static_cast<int>(reinterpret_cast<std::intptr_t>(result));
}

}  // namespace kv::win32
