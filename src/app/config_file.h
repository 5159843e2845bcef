#pragma once
// The settings file kv99.cfg: six quoted drive slots, then the drive window's left and top.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "program/settings.h"

namespace kv {

constexpr const char* kConfigName = "kv99.cfg";
// The eight values take a few dozen bytes; nothing after them is read, and a file whose values
// do not fit in this many bytes is read as a damaged one.
constexpr std::size_t kConfigReadLimit = 64 * 1024;

// What a read got before it stopped: the slots and numbers read in order, and whether all
// eight values were there and valid.
struct ConfigRead {
  int slotsRead = 0;
  DriveSlots drives;
  std::optional<std::int32_t> left;
  std::optional<std::int32_t> top;
  bool complete() const { return slotsRead == kSlots && left && top; }
};

ConfigRead parseConfig(const std::string& bytes);
std::string formatConfig(const DriveSlots& drives, int left, int top);

// A position line: a decimal number, a fraction rounded half to even, within 32 bits. Earlier
// versions wrote 16-bit values only, which read exactly as they always did.
std::optional<std::int32_t> parsePosition(const std::string& field);

}  // namespace kv
