#pragma once
// The process port: instance test, command line, folder, version block, regional decimal
// separator and the end of the process.
#include "platform/process.h"
#include "platform/win32/win32_api.h"

namespace kv::win32 {

class Win32Process final : public Process {
 public:
  Win32Process() = default;
  ~Win32Process() override;
  Win32Process(const Win32Process&) = delete;
  Win32Process& operator=(const Win32Process&) = delete;

  bool previousInstance() override;
  std::string commandLine() override;  // in the ANSI code page
  std::string exeFolder() override;    // UTF-8
  VersionNumbers version() override;
  char decimalSeparator() override;
  unsigned milliseconds() override { return GetTickCount(); }
  void end(int code) override;

 private:
  HANDLE instanceMutex_ = nullptr;  // held for the life of the process
  bool previous_ = false;
};

}  // namespace kv::win32
