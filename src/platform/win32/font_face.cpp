#include "platform/win32/font_face.h"

#include "platform/win32/scoped_handles.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_api.h"

namespace kv::win32 {
namespace {

constexpr char kBitmapFace[] = "MS Sans Serif";
constexpr wchar_t kScalableSibling[] = L"Microsoft Sans Serif";
constexpr wchar_t kFallbackFace[] = L"Tahoma";
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
  EnumFontFamiliesExW(WindowDc(nullptr), &wanted, &noteScalable, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

}  // namespace

// The face of the system's message boxes (Tahoma, Segoe UI, ...), where it scales; else Tahoma,
// which Windows since 2000 and Wine have.
std::wstring systemScalableFace() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
      systemHasScalable(metrics.lfMessageFont.lfFaceName))
    return metrics.lfMessageFont.lfFaceName;
  return kFallbackFace;
}

std::wstring drawnFace(const std::string& layoutFace, int dpi) {
  if (layoutFace != kBitmapFace) return fromAnsi(layoutFace);
  static const bool siblingThere = systemHasScalable(kScalableSibling);
  if (siblingThere) return kScalableSibling;
  if (dpi <= USER_DEFAULT_SCREEN_DPI) return fromAnsi(layoutFace);
  static const std::wstring scalable = systemScalableFace();
  return scalable;
}

}  // namespace kv::win32
