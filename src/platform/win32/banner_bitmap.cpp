#include "platform/win32/banner_bitmap.h"

#include <iterator>

#include "platform/win32/gdi_count.h"
#include "resource_ids.h"

namespace kv::win32 {
namespace {

// The sizes each banner is drawn at, as resources one after the other from its first.
constexpr int kDrawnPercents[] = {100, 125, 150, 200};
constexpr int kWholePercent = 100;

int firstResource(Image image) {
  switch (image) {
    case Image::OptionsBanner:
      return IDB_OPTIONS_BANNER;
    case Image::AboutBanner:
      return IDB_ABOUT_BANNER;
    case Image::None:
      break;
  }
  return 0;
}

// The smallest drawn size not smaller than the DPI asks for; the largest when none is.
int drawnSizeFor(int dpi) {
  const int count = static_cast<int>(std::size(kDrawnPercents));
  int size = 0;
  while (size + 1 < count && kDrawnPercents[size] * USER_DEFAULT_SCREEN_DPI < dpi * kWholePercent) ++size;
  return size;
}

// A copy at another size. HALFTONE averages the source pixels under each pixel of the copy, where
// the default mode would drop whole rows and columns; it wants the brush origin set after it.
HBITMAP scaledCopy(HBITMAP source, SIZE from, SIZE to) {
  HDC screen = GetDC(nullptr);
  HDC reading = CreateCompatibleDC(screen);
  HDC writing = CreateCompatibleDC(screen);
  HBITMAP copy = createCountedPicture(to.cx, to.cy);
  if (copy) {
    HGDIOBJ formerSource = SelectObject(reading, source);
    HGDIOBJ formerCopy = SelectObject(writing, copy);
    SetStretchBltMode(writing, HALFTONE);
    SetBrushOrgEx(writing, 0, 0, nullptr);
    StretchBlt(writing, 0, 0, to.cx, to.cy, reading, 0, 0, from.cx, from.cy, SRCCOPY);
    SelectObject(reading, formerSource);
    SelectObject(writing, formerCopy);
  }
  DeleteDC(reading);
  DeleteDC(writing);
  ReleaseDC(nullptr, screen);
  return copy;
}

}  // namespace

HBITMAP loadBanner(HINSTANCE module, Image image, const DpiScale& scale) {
  const int first = firstResource(image);
  if (!first) return nullptr;
  const int size = drawnSizeFor(scale.dpi());
  HBITMAP drawn = loadCountedBitmap(module, first + size);
  BITMAP info{};
  if (!drawn || !GetObjectW(drawn, sizeof info, &info)) return drawn;
  const int drawnDpi = kDrawnPercents[size] * USER_DEFAULT_SCREEN_DPI / kWholePercent;
  const SIZE from{info.bmWidth, info.bmHeight};
  const SIZE to{MulDiv(from.cx, scale.dpi(), drawnDpi), MulDiv(from.cy, scale.dpi(), drawnDpi)};
  if (to.cx == from.cx && to.cy == from.cy) return drawn;
  HBITMAP copy = scaledCopy(drawn, from, to);
  deleteCounted(drawn);
  return copy;
}

}  // namespace kv::win32
