#pragma once
// The banners of Options and About, drawn when a window is made at its DPI: one design laid out in
// pixels at 96 DPI and drawn at any other in proportion, so that every size is drawn, not scaled.
#include "platform/win32/dpi_scale.h"
#include "platform/win32/win32_api.h"
#include "platform/window_layout.h"

namespace kv::win32 {

// A counted bitmap for the window's paint set, 291 x 50 pixels at 96 DPI; null for Image::None.
HBITMAP drawBanner(Image, const DpiScale&);

}  // namespace kv::win32
