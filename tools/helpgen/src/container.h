#pragma once
// The outer structure of a help file: a 16-byte header (magic 0x00035F3F,
// directory offset, free list, file size), the internal files each behind a
// 9-byte file header (reserved size, used size, flags), and the directory, a
// B+ tree of their names in byte order with their offsets.
#include <string>
#include <vector>

#include "bytes.h"

namespace helpgen {

constexpr std::uint32_t kHelpMagic = 0x00035F3F;
constexpr std::size_t kFileHeaderSize = 9;

struct InternalFile {
  std::string name;  // such as "|SYSTEM"
  Bytes data;
};

Bytes build_container(const std::vector<InternalFile>& files);

}  // namespace helpgen
