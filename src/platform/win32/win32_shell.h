#pragma once
// The shell port: the notification-area icon and finding and starting the web browser.
#include "platform/shell.h"

namespace kv::win32 {

class Win32Shell final : public Shell {
 public:
  bool notifyIcon(TrayCommand, const TrayRecord&) override;
  // The document is a UTF-8 path, as the files port makes them; the program found comes back
  // in the ANSI code page and goes back to execute() as it is.
  int findExecutable(const std::string& document, std::string& program) override;
  int execute(WindowHandle owner, const std::string& program, const std::string& parameters) override;
};

}  // namespace kv::win32
