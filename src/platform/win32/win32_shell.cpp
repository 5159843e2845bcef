#include "platform/win32/win32_shell.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_api.h"

#include <shellapi.h>

namespace kv::win32 {

// The program's record is the shell's first (88-byte) layout, field for field.
static_assert(NOTIFYICONDATAA_V1_SIZE == sizeof(TrayRecord), "the record is the shell's first layout");
static_assert(offsetof(NOTIFYICONDATAA, szTip) == offsetof(TrayRecord, szTip), "tip at the same place");
static_assert(sizeof(NOTIFYICONDATAA::szTip) >= sizeof(TrayRecord::szTip), "tip fits");

void Win32Shell::notifyIcon(TrayCommand command, const TrayRecord& record) {
  NOTIFYICONDATAA data{};
  std::memcpy(&data, &record, sizeof record);
  DWORD message = NIM_ADD;
  if (command == TrayCommand::Modify) message = NIM_MODIFY;
  if (command == TrayCommand::Delete) message = NIM_DELETE;
  Shell_NotifyIconA(message, &data);
}

int Win32Shell::findExecutable(const std::string& document, std::string& program) {
  std::vector<char> answer(MAX_PATH * 2, '\0');  // the shell may write a full path and its NUL
  const HINSTANCE result = FindExecutableA(ansiPath(document).c_str(), nullptr, answer.data());
  program.assign(answer.data());
  return static_cast<int>(reinterpret_cast<std::intptr_t>(result));
}

int Win32Shell::execute(unsigned long owner, const std::string& program, const std::string& parameters) {
  const HINSTANCE result =
      ShellExecuteA(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(owner)), "open", program.c_str(),
                    parameters.c_str(), "", SW_SHOWNORMAL);
  return static_cast<int>(reinterpret_cast<std::intptr_t>(result));
}

}  // namespace kv::win32
