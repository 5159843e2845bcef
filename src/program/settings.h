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
  // The drive window's place as last read from the file (or last saved), twips on the desktop.
  // 32 bits: today's desktops of several monitors reach past what 16 bits of twips hold.
  std::int32_t smlleft = 0;
  std::int32_t smltop = 0;

  // The running program's own, never saved.
  bool smlshown = false;  // the drive window is loaded and set up
  std::string version;    // "1.4"
  std::string helppath;   // the help file beside the program
};

}  // namespace kv
