// Free-space figures for any counters: checked against a plain 128-bit computation.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "space/megabytes.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

std::string reference(std::uint32_t clusters, std::uint64_t bytesPerCluster, int decimals, char separator) {
  unsigned __int128 scaled = static_cast<unsigned __int128>(clusters) * bytesPerCluster * (decimals ? 100 : 1);
  unsigned __int128 whole = scaled >> 20;
  if ((scaled & 0xFFFFF) >= 0x80000) ++whole;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(whole % 10)));
    whole /= 10;
  } while (whole);
  if (!decimals) return digits;
  while (digits.size() < 3) digits.insert(digits.begin(), '0');
  digits.insert(digits.end() - 2, separator);
  return digits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kv;
  if (size < 13) return 0;
  std::uint32_t spc, bps, clusters;
  std::memcpy(&spc, data, 4);
  std::memcpy(&bps, data + 4, 4);
  std::memcpy(&clusters, data + 8, 4);
  char separator = static_cast<char>(data[12]);
  std::uint64_t bpc = static_cast<std::uint64_t>(spc) * bps;
  check(formatMegabytes(clusters, bpc, 0, '.') == reference(clusters, bpc, 0, '.'));
  check(formatMegabytes(clusters, bpc, 2, separator) == reference(clusters, bpc, 2, separator));
  return 0;
}
