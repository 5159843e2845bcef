#include "platform/win32/gdi_count.h"

namespace kv::win32 {
namespace {

long live = 0;  // only the user-interface thread creates and deletes

constexpr WORD kTrueColourBits = 24;

template <class Handle>
Handle counted(Handle handle) {
  if (handle) ++live;
  return handle;
}

}  // namespace

HFONT createCountedFont(const LOGFONTW& font) {
  return counted(CreateFontIndirectW(&font));
}

HBRUSH createCountedBrush(COLORREF colour) {
  return counted(CreateSolidBrush(colour));
}

HBITMAP createCountedPicture(int width, int height, void** bits) {
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = height;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = kTrueColourBits;
  format.bmiHeader.biCompression = BI_RGB;
  return counted(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, bits, nullptr, 0));
}

void deleteCounted(HGDIOBJ object) {
  if (object && DeleteObject(object)) --live;
}

long liveGdiObjects() {
  return live;
}

}  // namespace kv::win32
