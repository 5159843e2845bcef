#include "platform/win32/banner_bitmap.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/win32/gdi_count.h"

namespace kv::win32 {
namespace {

// The design, in pixels at 96 DPI. A ground shading from the left colour to the right and a quarter
// darker downwards; the disk of the program's icon at the left; the program's name in a pixel font
// of cells three pixels square over its shadow one pixel down and right; under it an accent line
// fading to the right and the subtitle in the accent colour, in cells of one pixel. Every shape
// covers the part of a pixel it covers, so that edges on whole pixels stay sharp at any size.
constexpr int kWidth = 291, kHeight = 50;
constexpr int kDiskSize = 42, kDiskLeft = 6, kDiskTop = 4;
constexpr int kLineFrom = 56, kLineTo = kWidth - 8, kLineTop = 34;
constexpr double kLineOpacity = 0.85;
constexpr double kTextLeft = 58, kTitleTop = 6, kTitleCell = 3, kSubtitleTop = 39;
constexpr double kShading = 0.25;  // how much darker the bottom row is than the top

using Rgb = std::array<double, 3>;
constexpr Rgb kTitle{0xf2, 0xf4, 0xf8}, kShadow{0x05, 0x07, 0x0c};

struct Design {
  Rgb left, right, accent;
  const char* subtitle;
};
constexpr Design kOptions{{0x1c, 0x2c, 0x58}, {0x06, 0x09, 0x14}, {0x7c, 0xc4, 0xff}, "CHOOSE UP TO SIX DRIVES"};
constexpr Design kAbout{{0x12, 0x3a, 0x2a}, {0x05, 0x0c, 0x0a}, {0x5c, 0xe0, 0x8c}, "SHOWS FREE DISK SPACE"};
constexpr const char kTitleText[] = "KESTROVAN '99";

// The disk over the unit square (u to the right, v downwards): a pie of free space, clockwise from
// twelve o'clock, and used space around a spindle. Each pixel averages four by four samples.
constexpr double kFreeShare = 0.62, kDiskRadius = 0.35, kHubRadius = 0.085, kCentre = 0.5;
constexpr double kPi = 3.14159265358979323846;
constexpr Rgb kUsed{0x9c, 0xa6, 0xb4}, kFree{0x34, 0xd8, 0x6c}, kHub{0x14, 0x1a, 0x24};
constexpr int kSamples = 4;

// The pixel font: seven rows of at most five cells, '#' inked; only the letters the banners show.
struct Glyph {
  char letter;
  const char* rows[7];
};
constexpr Glyph kFont[] = {
    {' ', {"...", "...", "...", "...", "...", "...", "..."}},
    {'\'', {"#", "#", "#", ".", ".", ".", "."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
};

const Glyph& glyphOf(char letter) {
  for (const Glyph& glyph : kFont)
    if (glyph.letter == letter) return glyph;
  return kFont[0];
}

Rgb mix(const Rgb& from, const Rgb& to, double share) {
  return {from[0] + (to[0] - from[0]) * share, from[1] + (to[1] - from[1]) * share,
          from[2] + (to[2] - from[2]) * share};
}

// What the disk shows at (u, v); null outside it.
const Rgb* diskAt(double u, double v) {
  const double across = u - kCentre, down = v - kCentre;
  const double radius = std::sqrt(across * across + down * down);
  if (radius > kDiskRadius) return nullptr;
  if (radius <= kHubRadius) return &kHub;
  double turn = std::fmod(std::atan2(across, -down) / (2 * kPi), 1.0);
  if (turn < 0) turn += 1.0;
  return turn < kFreeShare ? &kFree : &kUsed;
}

// One row of the banner at a time, each shape painted over it in the design's order: a pixel ends
// as it would were the whole picture painted shape after shape.
class Row {
 public:
  Row(int width, int height, int y) : pixels_(width), height_(height), y_(y) {}

  Rgb& operator[](int x) { return pixels_[x]; }
  int width() const { return static_cast<int>(pixels_.size()); }

  // Whether the pixels between the two edges (in pixels) include this row's.
  bool crosses(double top, double bottom) const {
    return y_ >= std::max(0, static_cast<int>(top)) && y_ < std::min(height_, static_cast<int>(std::ceil(bottom)));
  }

  // Blends the colour into each pixel by the part of it the rectangle covers (edges in pixels).
  void fill(double left, double top, double right, double bottom, const Rgb& colour, double opacity = 1.0) {
    if (!crosses(top, bottom)) return;
    const double coverY = std::min(bottom, y_ + 1.0) - std::max(top, static_cast<double>(y_));
    const int end = std::min(width(), static_cast<int>(std::ceil(right)));
    for (int x = std::max(0, static_cast<int>(left)); x < end; ++x) {
      const double cover = coverY * (std::min(right, x + 1.0) - std::max(left, static_cast<double>(x))) * opacity;
      if (cover > 0) pixels_[x] = mix(pixels_[x], colour, cover);
    }
  }

  void text(const char* text, double left, double top, double cell, const Rgb& colour) {
    for (double x = left; *text; ++text) {
      const Glyph& glyph = glyphOf(*text);
      const int columns = static_cast<int>(std::strlen(glyph.rows[0]));
      for (int gy = 0; gy < 7; ++gy) {
        if (!crosses(top + gy * cell, top + (gy + 1) * cell)) continue;
        for (int gx = 0; gx < columns; ++gx)
          if (glyph.rows[gy][gx] == '#')
            fill(x + gx * cell, top + gy * cell, x + (gx + 1) * cell, top + (gy + 1) * cell, colour);
      }
      x += (columns + 1) * cell;
    }
  }

  // Each channel rounded to a whole level, halves to even: rint, which rounds as the FPU does;
  // nearbyint rounds the same but is many times slower with MinGW's runtime.
  void round() {
    for (Rgb& pixel : pixels_)
      for (double& channel : pixel) channel = std::rint(std::clamp(channel, 0.0, 255.0));
  }

 private:
  std::vector<Rgb> pixels_;
  int height_, y_;
};

// A length of the design at the DPI, rounded half up.
int scaled(int length, int dpi) {
  return (length * dpi + USER_DEFAULT_SCREEN_DPI / 2) / USER_DEFAULT_SCREEN_DPI;
}

void paintRow(Row& row, const Design& design, int dpi, int y) {
  const double s = static_cast<double>(dpi) / USER_DEFAULT_SCREEN_DPI;
  const int width = row.width(), height = scaled(kHeight, dpi);
  const double shade = 1.0 - kShading * (y / static_cast<double>(height - 1));
  for (int x = 0; x < width; ++x) {
    const Rgb ground = mix(design.left, design.right, x / static_cast<double>(width - 1));
    row[x] = {ground[0] * shade, ground[1] * shade, ground[2] * shade};
  }
  const int disk = scaled(kDiskSize, dpi), diskLeft = scaled(kDiskLeft, dpi), dy = y - scaled(kDiskTop, dpi);
  for (int x = 0; dy >= 0 && dy < disk && x < disk; ++x) {
    Rgb sum{};
    int hits = 0;
    for (int sy = 0; sy < kSamples; ++sy)
      for (int sx = 0; sx < kSamples; ++sx)
        if (const Rgb* colour = diskAt((x + (sx + 0.5) / kSamples) / disk, (dy + (sy + 0.5) / kSamples) / disk)) {
          for (int c = 0; c < 3; ++c) sum[c] += (*colour)[c];
          ++hits;
        }
    if (hits)
      row[diskLeft + x] = mix(row[diskLeft + x], {sum[0] / hits, sum[1] / hits, sum[2] / hits},
                              static_cast<double>(hits) / (kSamples * kSamples));
  }
  for (int x = scaled(kLineFrom, dpi); x < scaled(kLineTo, dpi); ++x) {
    const double fade = 1.0 - ((x + 0.5) / s - 0.5 - kLineFrom) / (kLineTo - kLineFrom);
    row.fill(x, kLineTop * s, x + 1, (kLineTop + 1) * s, design.accent, kLineOpacity * fade);
  }
  row.round();
  row.text(kTitleText, kTextLeft * s + s, kTitleTop * s + s, kTitleCell * s, kShadow);
  row.text(kTitleText, kTextLeft * s, kTitleTop * s, kTitleCell * s, kTitle);
  row.text(design.subtitle, kTextLeft * s, kSubtitleTop * s, s, design.accent);
  row.round();
}

}  // namespace

HBITMAP drawBanner(Image image, const DpiScale& scale) {
  if (image == Image::None) return nullptr;
  const Design& design = image == Image::OptionsBanner ? kOptions : kAbout;
  const int dpi = scale.dpi(), width = scaled(kWidth, dpi), height = scaled(kHeight, dpi);
  unsigned char* bits = nullptr;
  HBITMAP picture = createCountedPicture(width, height, reinterpret_cast<void**>(&bits));
  if (!picture) return nullptr;
  const int stride = (width * 3 + 3) & ~3;  // rows of a DIB end on four bytes, the bottom row first
  for (int y = 0; y < height; ++y) {
    Row row(width, height, y);
    paintRow(row, design, dpi, y);
    unsigned char* out = bits + (height - 1 - y) * stride;
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) *out++ = static_cast<unsigned char>(row[x][2 - c]);
  }
  return picture;
}

}  // namespace kv::win32
