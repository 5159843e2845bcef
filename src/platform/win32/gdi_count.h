#pragma once
// Every GDI object the program creates goes through here, so that the number alive can be
// asked from outside (Wine's GetGuiResources answers 0).
#include "platform/win32/win32_api.h"

namespace kv::win32 {

HFONT createCountedFont(const LOGFONTW&);
HBRUSH createCountedBrush(COLORREF);
// A blank 24-bit picture: without an alpha channel, which a static control would take a copy for.
// Its pixels are at *bits: blue, green, red, the bottom row first, each row padded to four bytes.
HBITMAP createCountedPicture(int width, int height, void** bits);
void deleteCounted(HGDIOBJ);  // null is ignored

long liveGdiObjects();

}  // namespace kv::win32
