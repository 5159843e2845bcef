#pragma once
// The help port: Windows Help, where the system has a viewer for it.
#include <optional>

#include "platform/help.h"
#include "platform/win32/win32_desktop.h"

namespace kv::win32 {

class Win32Help final : public HelpViewer {
 public:
  // Help asked without an owner (or for one that is gone) belongs to the desktop's stand-in owner.
  explicit Win32Help(const Win32Desktop& desktop) : desktop_(desktop) {}
  // Decided once, from the system's real version and, on Vista to 8.1, its winhlp32.exe.
  bool showsHelpFiles() override;
  // The file is a UTF-8 path (or a bare file name).
  void show(WindowHandle owner, const std::string& file, HelpCommand command, unsigned long topic) override;

 private:
  const Win32Desktop& desktop_;
  std::optional<bool> showsHelpFiles_;
};

}  // namespace kv::win32
