#pragma once
// The drawing objects of one window, made as its controls ask for them and deleted with it.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/dpi_scale.h"
#include "platform/win32/win32_api.h"
#include "platform/window_layout.h"

namespace kv::win32 {

// Fonts, brushes and bitmaps of one window, created with it and deleted with it.
class PaintSet {
 public:
  PaintSet() = default;
  PaintSet(const PaintSet&) = delete;
  PaintSet& operator=(const PaintSet&) = delete;
  ~PaintSet() { release(); }

  HBRUSH brush(Colour);
  HFONT font(const Font&, const DpiScale&);
  void keepBitmap(HBITMAP);
  // Hands over the fonts and bitmaps, which are made for one DPI, to be deleted once the
  // controls have those of another.
  std::vector<HGDIOBJ> takeScaled();
  void release();

 private:
  std::map<COLORREF, HBRUSH> brushes_;
  std::map<std::pair<std::string, int>, HFONT> fonts_;  // by face and height in pixels
  std::vector<HBITMAP> bitmaps_;
};

}  // namespace kv::win32
