#include "platform/win32/diagnostics.h"

#include <psapi.h>

#include "platform/win32/gdi_count.h"

namespace kv::win32 {
namespace {

// The private (committed, not shared) bytes of this process; 0 when the system cannot say.
SIZE_T privateBytes() {
  // Windows 7 and later (and Wine) have the query in kernel32; older systems only in psapi.
  using Query = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
  static const Query query = [] {
    FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "K32GetProcessMemoryInfo");
    if (!found) {
      wchar_t path[MAX_PATH + 16] = {};
      const UINT length = GetSystemDirectoryW(path, MAX_PATH);
      if (length > 0 && length < MAX_PATH) {
        lstrcatW(path, L"\\psapi.dll");
        if (HMODULE psapi = LoadLibraryW(path)) found = GetProcAddress(psapi, "GetProcessMemoryInfo");
      }
    }
    return reinterpret_cast<Query>(reinterpret_cast<void*>(found));
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
