#pragma once
// Twips (1440 to the inch) to pixels and back at one resolution, rounded. Each window lays itself
// out at its own (a system that scales per monitor gives a window the DPI of the monitor it is
// on); places on the desktop share the desktop's.
#include "platform/geometry.h"
#include "platform/win32/win32_api.h"

namespace kv::win32 {

class DpiScale {
 public:
  static constexpr int kTwipsPerInch = 1440;
  static constexpr int kPointsPerInch = 72;

  explicit DpiScale(int dotsPerInch) : dpi_(dotsPerInch > 0 ? dotsPerInch : USER_DEFAULT_SCREEN_DPI) {}

  // The system's DPI, as the screen's device context gives it.
  static DpiScale ofScreen();
  // The window's DPI where the system tells it (Windows 10 and later), else the screen's.
  static DpiScale ofWindow(HWND);
  // The primary monitor's DPI where the system tells it (Windows 8.1 and later), else the screen's.
  static DpiScale ofPrimaryMonitor();
  // The one scale of places on the desktop (windows' places, the monitors, the pointer): the
  // primary monitor's, whatever monitor a window is on. Sizes of a layout keep the window's own.
  static DpiScale ofDesktop() { return ofPrimaryMonitor(); }

  int dpi() const { return dpi_; }
  int pixels(int twips) const { return MulDiv(twips, dpi_, kTwipsPerInch); }
  int twips(int pixels) const { return MulDiv(pixels, kTwipsPerInch, dpi_); }
  // A rectangle of pixels, such as the system gives a window or a monitor, in twips.
  Rect twips(const RECT& r) const {
    return Rect{twips(r.left), twips(r.top), twips(r.right - r.left), twips(r.bottom - r.top)};
  }
  // A font's character height in pixels, negative as CreateFont wants it. A fraction of a pixel
  // (8.25 or 9.75 points at 120 or 144 DPI) is dropped: a text then never takes more room than
  // its point size gives it, so a layout that holds it at 96 DPI, where the program's sizes are
  // whole pixels, holds it at any DPI.
  int fontHeight(double points) const {
    constexpr double kRoundingSlack = 1e-9;  // 11.0 pixels must not come out as 10.999...
    return -static_cast<int>(points * dpi_ / kPointsPerInch + kRoundingSlack);
  }

 private:
  int dpi_;
};

}  // namespace kv::win32
