#pragma once
// The process-wide settings record. The program writes it; windows see what they show through
// the program.
#include <array>
#include <cstdint>
#include <string>

namespace kv {

constexpr int kSlots = 6;
using DriveSlots = std::array<std::string, kSlots>;  // slots 1..6 at 0..5: a root such as c:\, or empty

struct Settings {
  // Saved in the settings file.
  DriveSlots drives;
  std::int16_t smlleft = 0;  // drive window position as last read from the file, twips
  std::int16_t smltop = 0;

  // The running program's own, never saved.
  bool smlshown = false;  // the drive window is loaded and set up
  std::string version;    // "1.4"
  std::string helppath;   // the help file beside the program
};

// Positions live in 16 bits; anything beyond is pinned to the nearest end, never wrapped.
inline std::int16_t clamp16(long long v) {
  if (v < -32768) return -32768;
  if (v > 32767) return 32767;
  return static_cast<std::int16_t>(v);
}

}  // namespace kv
