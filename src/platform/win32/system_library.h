#pragma once
// DLLs the program reaches at run time, always from the system folder: a DLL of the same name
// planted beside the program is never the one loaded.
#include "platform/win32/win32_api.h"

namespace kv::win32 {

// Loads (or finds already loaded) the system folder's copy of the DLL; nullptr when absent.
HMODULE systemLibrary(const wchar_t* name);

// A function of a system DLL, typed; nullptr when either is absent.
template <class Function>
Function systemFunction(const wchar_t* library, const char* name) {
  HMODULE module = systemLibrary(library);
  FARPROC found = module ? GetProcAddress(module, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

// Loads, from the system folder, the DLLs that the system's own code would otherwise look
// for by bare name later on (and so also beside the program).
void preloadSystemLibraries();

}  // namespace kv::win32
