#pragma once
// The banners at a window's DPI. Each is drawn at 100, 125, 150 and 200 percent
// (res/make_resources.py); a DPI gets the size drawn for it, or else the next larger one scaled
// down to it (the largest scaled up beyond 200 percent).
#include "platform/win32/dpi_scale.h"
#include "platform/win32/win32_api.h"
#include "platform/window_layout.h"

namespace kv::win32 {

// A counted bitmap for the window's paint set; null for Image::None or a missing resource.
HBITMAP loadBanner(HINSTANCE, Image, const DpiScale&);

}  // namespace kv::win32
