#pragma once
// The help port: Windows Help.
#include "platform/help.h"
#include "platform/win32/win32_desktop.h"

namespace kv::win32 {

class Win32Help final : public HelpViewer {
 public:
  // Help asked without an owner (or for one that is gone) belongs to the desktop's stand-in owner.
  explicit Win32Help(const Win32Desktop& desktop) : desktop_(desktop) {}
  // The file is a UTF-8 path (or a bare file name).
  void show(WindowHandle owner, const std::string& file, unsigned command, unsigned long topic) override;

 private:
  const Win32Desktop& desktop_;
};

}  // namespace kv::win32
