#include "fonts.h"

#include <string>

namespace helpgen {
namespace {

constexpr std::size_t kFaceWidth = 20;
constexpr unsigned kBold = 0x01;
constexpr unsigned kFamilyModern = 0x01;  // fixed pitch
constexpr unsigned kFamilySwiss = 0x03;   // proportional, without serifs

struct FontDescriptor {
  unsigned attributes;
  unsigned half_points;
  unsigned family;
  unsigned face;
  std::uint8_t red, green, blue;
};

const char* const kFaces[] = {"Arial", "Courier New"};

// Indexed by FontId.
const FontDescriptor kFonts[] = {
    {0, 20, kFamilySwiss, 0, 0, 0, 0},         // body text, 10 pt
    {kBold, 28, kFamilySwiss, 0, 0, 0, 0x80},  // topic title, 14 pt, dark blue
    {kBold, 22, kFamilySwiss, 0, 0, 0, 0},     // sub-heading, 11 pt
    {0, 20, kFamilyModern, 1, 0, 0, 0},        // fixed-font blocks, 10 pt
};

}  // namespace

Bytes build_font_file() {
  const unsigned faces = sizeof kFaces / sizeof kFaces[0];
  const unsigned fonts = sizeof kFonts / sizeof kFonts[0];
  ByteWriter w;
  w.u16(faces);
  w.u16(fonts);
  w.u16(8);
  w.u16(8 + faces * kFaceWidth);
  for (const char* face : kFaces) w.fixed_string(face, kFaceWidth);
  for (const FontDescriptor& f : kFonts) {
    w.u8(f.attributes);
    w.u8(f.half_points);
    w.u8(f.family);
    w.u16(f.face);
    w.u8(f.red);
    w.u8(f.green);
    w.u8(f.blue);
    w.zeros(3);  // background, not used by the viewer
  }
  return w.take();
}

}  // namespace helpgen
