#include "platform/win32/window_class.h"

#include "platform/failure.h"

namespace kv::win32 {

WNDCLASSEXW windowClass(HINSTANCE module, const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW kind{};
  kind.cbSize = sizeof kind;
  kind.lpfnWndProc = procedure;
  kind.hInstance = module;
  kind.lpszClassName = name;
  return kind;
}

void registerWindowClass(const WNDCLASSEXW& kind, const std::string& failure) {
  if (!RegisterClassExW(&kind) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) throw Failure(failure);
}

}  // namespace kv::win32
