#pragma once
// The version of Windows the program runs on, as the system itself reports it.
#include "platform/win32/win32_api.h"

namespace kv::win32 {

struct SystemVersion {
  DWORD major = 0;  // 0: the system did not say
  DWORD minor = 0;
};

// Asked of ntdll, which answers with the real version: the compatibility shims that make
// GetVersionEx report an older Windows to a program (a compatibility mode, a manifest that does
// not name the system) leave this answer alone.
SystemVersion realSystemVersion();

// Wine, which says so through an export of its ntdll that Windows does not have.
bool runsUnderWine();

}  // namespace kv::win32
