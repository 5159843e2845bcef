#pragma once
// Free space as an exact number of megabytes (1,048,576 bytes), written out in decimal.
#include <cstdint>
#include <string>

namespace kv {

// Rounds clusters x bytesPerCluster / 2^20 half away from zero to `decimals` places (0 or 2)
// and writes it without grouping, at least one integer digit, with the given separator.
std::string formatMegabytes(std::uint32_t freeClusters, std::uint64_t bytesPerCluster, int decimals, char separator);

}  // namespace kv
