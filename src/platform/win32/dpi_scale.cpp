#include "platform/win32/dpi_scale.h"

#include "platform/win32/scoped_handles.h"
#include "platform/win32/system_library.h"

namespace kv::win32 {
namespace {

using DpiForWindow = UINT(WINAPI*)(HWND);
using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int type, UINT* dpiX, UINT* dpiY);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI: the DPI the monitor's windows are drawn at
constexpr POINT kPrimaryMonitorOrigin{0, 0};

}  // namespace

DpiScale DpiScale::ofScreen() {
  return DpiScale(GetDeviceCaps(WindowDc(nullptr), LOGPIXELSX));
}

DpiScale DpiScale::ofWindow(HWND hwnd) {
  static const auto dpiForWindow = systemFunction<DpiForWindow>(L"user32.dll", "GetDpiForWindow");
  return dpiForWindow ? DpiScale(static_cast<int>(dpiForWindow(hwnd))) : ofScreen();
}

DpiScale DpiScale::ofPrimaryMonitor() {
  static const auto dpiForMonitor = systemFunction<DpiForMonitor>(L"shcore.dll", "GetDpiForMonitor");
  UINT dpiX = 0, dpiY = 0;
  if (dpiForMonitor && SUCCEEDED(dpiForMonitor(MonitorFromPoint(kPrimaryMonitorOrigin, MONITOR_DEFAULTTOPRIMARY),
                                               kEffectiveDpi, &dpiX, &dpiY)))
    return DpiScale(static_cast<int>(dpiX));
  return ofScreen();
}

}  // namespace kv::win32
