#pragma once
// Every GDI object the program creates goes through here, so that the number alive can be
// asked from outside (Wine's GetGuiResources answers 0).
#include "platform/win32/win32_api.h"

namespace kv::win32 {

HFONT createCountedFont(const LOGFONTW&);
HBRUSH createCountedBrush(COLORREF);
HBITMAP loadCountedBitmap(HINSTANCE, int resourceId);
// A blank 24-bit picture: without an alpha channel, which a static control would take a copy for.
HBITMAP createCountedPicture(int width, int height);
void deleteCounted(HGDIOBJ);  // null is ignored

long liveGdiObjects();

}  // namespace kv::win32
