#include "bytes.h"

#include <stdexcept>

namespace helpgen {

void ByteWriter::u16(unsigned v) {
  u8(v & 0xFFu);
  u8((v >> 8) & 0xFFu);
}

void ByteWriter::u32(std::uint32_t v) {
  u16(v & 0xFFFFu);
  u16(v >> 16);
}

void ByteWriter::zstring(const std::string& s) {
  out_.insert(out_.end(), s.begin(), s.end());
  u8(0);
}

void ByteWriter::fixed_string(const std::string& s, std::size_t width) {
  std::size_t n = s.size() < width ? s.size() : width;
  out_.insert(out_.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
  zeros(width - n);
}

void ByteWriter::cushort(unsigned v) {
  if (v < 0x80) {
    u8(v * 2);
  } else if (v < 0x8000) {
    u16(v * 2 + 1);
  } else {
    throw std::range_error("value too large for a compressed unsigned short");
  }
}

void ByteWriter::cshort(int v) {
  if (v >= -0x40 && v < 0x40) {
    u8(static_cast<unsigned>(v + 0x40) * 2);
  } else if (v >= -0x4000 && v < 0x4000) {
    u16(static_cast<unsigned>(v + 0x4000) * 2 + 1);
  } else {
    throw std::range_error("value out of range for a compressed short");
  }
}

void ByteWriter::clong(std::int32_t v) {
  if (v >= -0x4000 && v < 0x4000) {
    u16(static_cast<unsigned>(v + 0x4000) * 2);
  } else if (v >= -0x40000000 && v < 0x40000000) {
    u32(static_cast<std::uint32_t>(v + 0x40000000) * 2 + 1);
  } else {
    throw std::range_error("value out of range for a compressed long");
  }
}

}  // namespace helpgen
