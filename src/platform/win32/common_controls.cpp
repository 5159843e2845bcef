#include "platform/win32/common_controls.h"

#include <commctrl.h>

#include "platform/win32/system_library.h"
#include "resource_ids.h"

namespace kv::win32 {
namespace {

// The context of the program's manifest IDM_COMMON_CONTROLS, made once; INVALID_HANDLE_VALUE when
// it cannot be made.
HANDLE themedContext() {
  static const HANDLE context = [] {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = GetModuleHandleW(nullptr);
    request.lpResourceName = MAKEINTRESOURCEW(IDM_COMMON_CONTROLS);
    return CreateActCtxW(&request);
  }();
  return context;
}

// Loaded inside the context, the common controls are its version 6; their classes registered once,
// before the first window that uses them, as a program that imports them does at its start.
void registerClasses() {
  static const bool registered = [] {
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (auto init = systemFunction<Init>(L"comctl32.dll", "InitCommonControlsEx")) {
      const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
      init(&classes);
    }
    return true;
  }();
  (void)registered;
}

}  // namespace

CommonControls::CommonControls(bool wanted) {
  if (!wanted) return;
  const HANDLE context = themedContext();
  if (context == INVALID_HANDLE_VALUE || !ActivateActCtx(context, &cookie_)) return;
  active_ = true;
  registerClasses();
}

CommonControls::~CommonControls() {
  if (active_) DeactivateActCtx(0, cookie_);
}

}  // namespace kv::win32
