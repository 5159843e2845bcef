#pragma once
// Little-endian byte buffer used to lay out every structure of the help file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace helpgen {

using Bytes = std::vector<std::uint8_t>;

class ByteWriter {
 public:
  void u8(unsigned v) { out_.push_back(static_cast<std::uint8_t>(v)); }
  void u16(unsigned v);
  void u32(std::uint32_t v);
  void i16(int v) { u16(static_cast<unsigned>(v) & 0xFFFFu); }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void zstring(const std::string& s);                          // the bytes of s and a NUL
  void fixed_string(const std::string& s, std::size_t width);  // NUL-padded, cut to width
  void append(const Bytes& b) { out_.insert(out_.end(), b.begin(), b.end()); }
  void zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }

  // The variable-length numbers of paragraph records: the lowest bit of the
  // first byte says whether the short or the long form follows.
  void cushort(unsigned v);    // 1 byte below 128, else 2 bytes; up to 32767
  void cshort(int v);          // 1 byte for -64..63, else 2 bytes; -16384..16383
  void clong(std::int32_t v);  // 2 bytes for -16384..16383, else 4 bytes

  std::size_t size() const { return out_.size(); }
  const Bytes& bytes() const { return out_; }
  Bytes take() { return std::move(out_); }

 private:
  Bytes out_;
};

}  // namespace helpgen
