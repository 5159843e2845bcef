#pragma once
// |SYSTEM: the format version (3.1, uncompressed, 4 KiB topic blocks) and
// the records that describe the whole file; here just its title.
#include <string>

#include "bytes.h"

namespace helpgen {

constexpr unsigned kSystemMagic = 0x036C;
constexpr unsigned kFormatMinor = 21;  // Windows 3.1 help file
constexpr unsigned kSystemTitleRecord = 1;

Bytes build_system_file(const std::string& title);

}  // namespace helpgen
