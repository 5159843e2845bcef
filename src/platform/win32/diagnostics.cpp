#include "platform/win32/diagnostics.h"

#include <psapi.h>

#include "platform/win32/gdi_count.h"
#include "platform/win32/system_library.h"

namespace kv::win32 {
namespace {

// The private (committed, not shared) bytes of this process; 0 when the system cannot say.
SIZE_T privateBytes() {
  // Windows 7 and later (and Wine) have the query in kernel32; older systems only in psapi.
  using Query = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
  static const Query query = [] {
    const Query kernel = systemFunction<Query>(L"kernel32.dll", "K32GetProcessMemoryInfo");
    return kernel ? kernel : systemFunction<Query>(L"psapi.dll", "GetProcessMemoryInfo");
  }();
  if (!query) return 0;
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!query(GetCurrentProcess(), reinterpret_cast<PPROCESS_MEMORY_COUNTERS>(&counters), sizeof counters)) return 0;
  // Wine fills in only the basic counters; their commit charge is the same figure.
  return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

DWORD openHandles() {
  DWORD count = 0;
  return GetProcessHandleCount(GetCurrentProcess(), &count) ? count : 0;
}

}  // namespace

bool answerDiagnostics(UINT message, LRESULT& answer) {
  static const UINT gdiObjects = RegisterWindowMessageW(L"Kestrovan99.GdiObjects");
  static const UINT privateBytesQuestion = RegisterWindowMessageW(L"Kestrovan99.PrivateBytes");
  static const UINT handles = RegisterWindowMessageW(L"Kestrovan99.Handles");
  if (message == gdiObjects)
    answer = liveGdiObjects();
  else if (message == privateBytesQuestion)
    answer = static_cast<LRESULT>(privateBytes());
  else if (message == handles)
    answer = static_cast<LRESULT>(openHandles());
  else
    return false;
  return true;
}

}  // namespace kv::win32
