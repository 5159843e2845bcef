#include "platform/win32/system_library.h"

#include <string>

namespace kv::win32 {

HMODULE systemLibrary(const wchar_t* name) {
  if (HMODULE loaded = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return loaded;
  // Systems without the search flags take a full path instead.
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + name;
  return LoadLibraryW(path.c_str());
}

void preloadSystemLibraries() {
  // Found by watching what loads by name at run time: the input method code loads ole32 when a
  // window is first activated, the theme code loads msimg32, common controls load uxtheme, and
  // the shell (reached only through systemFunction) brings its own.
  for (const wchar_t* name : {L"uxtheme.dll", L"msimg32.dll", L"ole32.dll", L"shell32.dll"}) systemLibrary(name);
}

}  // namespace kv::win32
