#include "platform/win32/gdi_count.h"

namespace kv::win32 {
namespace {

long live = 0;  // only the user-interface thread creates and deletes

constexpr int kResourceSize = 0;  // a bitmap loaded at its own width and height

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

HBITMAP loadCountedBitmap(HINSTANCE module, int resourceId) {
  return counted(static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, kResourceSize, kResourceSize, LR_DEFAULTCOLOR)));
}

void deleteCounted(HGDIOBJ object) {
  if (object && DeleteObject(object)) --live;
}

long liveGdiObjects() {
  return live;
}

}  // namespace kv::win32
