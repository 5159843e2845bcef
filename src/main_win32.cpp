// The program's entry and the one place that puts it together: sets up the process, builds the
// Windows platform and runs the program on it.
#include <optional>

#include "app/app.h"
#include "platform/platform.h"
#include "platform/win32/entry_rule.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_disks.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_help.h"
#include "platform/win32/win32_process.h"
#include "platform/win32/win32_shell.h"

namespace {

// DLLs are loaded from the system folder only, where the system knows how (Windows 7 with
// its update, and later; Wine).
void restrictDllSearch() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  if (auto set = kv::win32::systemFunction<SetDirectories>(L"kernel32.dll", "SetDefaultDllDirectories"))
    set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int) {
  // A drive without a disk answers with an error instead of a system dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  restrictDllSearch();
  kv::win32::preloadSystemLibraries();

  kv::win32::Win32Process process;
  kv::win32::Win32Desktop desktop(module, process, kv::kFailureNotice);
  kv::win32::Win32Shell shell;
  kv::win32::Win32Disks disks(desktop);
  kv::win32::Win32Help help(desktop);
  kv::win32::Win32Files files;
  kv::Platform platform{desktop, shell, disks, help, process, files};

  std::optional<kv::App> app;
  desktop.runEntry(
      [&] {
        app.emplace(platform);
        app->main();
      },
      kv::win32::UnderBox::Dropped);
  desktop.runEvents();
  return 0;
}
