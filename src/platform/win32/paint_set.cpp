#include "platform/win32/paint_set.h"
#include "platform/win32/font_face.h"
#include "platform/win32/gdi_count.h"

namespace kv::win32 {

HBRUSH PaintSet::brush(Colour colour) {
  const COLORREF key = RGB(colour.r, colour.g, colour.b);
  auto found = brushes_.find(key);
  if (found != brushes_.end()) return found->second;
  HBRUSH created = createCountedBrush(key);
  brushes_.emplace(key, created);
  return created;
}

HFONT PaintSet::font(const Font& font, const DpiScale& scale) {
  const auto key = std::make_pair(font.face, scale.fontHeight(font.points));
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second;

  LOGFONTW description{};
  description.lfHeight = key.second;
  description.lfWeight = FW_NORMAL;
  description.lfCharSet = ANSI_CHARSET;
  description.lfOutPrecision = OUT_DEFAULT_PRECIS;
  description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  description.lfQuality = DEFAULT_QUALITY;
  description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::wstring face = drawnFace(font.face, scale.dpi());
  lstrcpynW(description.lfFaceName, face.c_str(), LF_FACESIZE);

  HFONT created = createCountedFont(description);
  fonts_.emplace(key, created);
  return created;
}

void PaintSet::keepBitmap(HBITMAP bitmap) {
  if (bitmap) bitmaps_.push_back(bitmap);
}

std::vector<HGDIOBJ> PaintSet::takeScaled() {
  std::vector<HGDIOBJ> taken(bitmaps_.begin(), bitmaps_.end());
  for (auto& entry : fonts_) taken.push_back(entry.second);
  fonts_.clear();
  bitmaps_.clear();
  return taken;
}

void PaintSet::release() {
  for (auto& entry : brushes_) deleteCounted(entry.second);
  for (auto& entry : fonts_) deleteCounted(entry.second);
  for (HBITMAP bitmap : bitmaps_) deleteCounted(bitmap);
  brushes_.clear();
  fonts_.clear();
  bitmaps_.clear();
}

}  // namespace kv::win32
