#pragma once
// The fonts every topic is set in, and |FONT, the file that lists them.
#include <cstdint>

#include "bytes.h"

namespace helpgen {

enum FontId : std::uint16_t { kBodyFont = 0, kTitleFont = 1, kHeadingFont = 2, kCodeFont = 3 };

// |FONT: face-name and descriptor counts and offsets, the face names in
// fixed-width fields, then one 11-byte descriptor per font (attributes,
// size in half points, family, face index, colour).
Bytes build_font_file();

}  // namespace helpgen
