#include "platform/win32/font_face.h"

#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_api.h"

namespace kv::win32 {
namespace {

constexpr char kBitmapFace[] = "MS Sans Serif";
constexpr wchar_t kScalableSibling[] = L"Microsoft Sans Serif";
constexpr int kGoOn = 1;  // an enumeration procedure's answer that asks for the next font

int CALLBACK noteScalable(const LOGFONTW*, const TEXTMETRICW*, DWORD fontType, LPARAM found) {
  if (!(fontType & RASTER_FONTTYPE)) *reinterpret_cast<bool*>(found) = true;
  return kGoOn;  // a bitmap face of the same name may come first
}

bool systemHasScalable(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, &noteScalable, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

}  // namespace

std::wstring drawnFace(const std::string& layoutFace) {
  static const bool siblingThere = systemHasScalable(kScalableSibling);
  if (layoutFace == kBitmapFace && siblingThere) return kScalableSibling;
  return fromAnsi(layoutFace);
}

}  // namespace kv::win32
