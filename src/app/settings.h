#pragma once
// The process-wide settings record, shared by every window.
#include <array>
#include <cstdint>
#include <string>

namespace kv {

constexpr int kSlots = 6;

struct Settings {
  // Saved in the settings file.
  std::array<std::string, kSlots> drives;  // slots 1..6 at 0..5: a drive root such as c:\, or empty
  std::int16_t smlleft = 0;                // drive window position as last read from the file, twips
  std::int16_t smltop = 0;

  // The running program's own, never saved.
  bool smlshown = false;   // the drive window is loaded and set up
  std::string version;     // "1.4"
  std::string helppath;    // the help file beside the program
  bool trayadded = false;  // written by the tray icon alone
};

// Positions live in 16 bits; anything beyond is pinned to the nearest end, never wrapped.
inline std::int16_t clamp16(long long v) {
  if (v < -32768) return -32768;
  if (v > 32767) return 32767;
  return static_cast<std::int16_t>(v);
}

}  // namespace kv
