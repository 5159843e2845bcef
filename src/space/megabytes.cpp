#include "space/megabytes.h"

#include <algorithm>
#include <array>

namespace kv {
namespace {

// An unsigned number of up to 128 bits in 32-bit limbs, least significant first: enough for
// 2^32 clusters of up to 2^64 bytes, times 100, without touching floating point.
struct Wide {
  std::array<std::uint32_t, 4> limb{};

  static Wide product(std::uint32_t a, std::uint64_t b) {
    Wide w;
    std::uint64_t low = static_cast<std::uint64_t>(a) * static_cast<std::uint32_t>(b);
    std::uint64_t high = static_cast<std::uint64_t>(a) * static_cast<std::uint32_t>(b >> 32);
    w.limb[0] = static_cast<std::uint32_t>(low);
    std::uint64_t carry = (low >> 32) + static_cast<std::uint32_t>(high);
    w.limb[1] = static_cast<std::uint32_t>(carry);
    carry = (carry >> 32) + (high >> 32);
    w.limb[2] = static_cast<std::uint32_t>(carry);
    w.limb[3] = static_cast<std::uint32_t>(carry >> 32);
    return w;
  }

  void multiply(std::uint32_t m) {
    std::uint64_t carry = 0;
    for (auto& l : limb) {
      carry += static_cast<std::uint64_t>(l) * m;
      l = static_cast<std::uint32_t>(carry);
      carry >>= 32;
    }
  }

  void add(std::uint32_t v) {
    std::uint64_t carry = v;
    for (auto& l : limb) {
      carry += l;
      l = static_cast<std::uint32_t>(carry);
      carry >>= 32;
      if (!carry) break;
    }
  }

  // Shifts right by `bits` (< 32) and returns the bits shifted out.
  std::uint32_t shiftRight(unsigned bits) {
    std::uint32_t out = limb[0] & ((1u << bits) - 1);
    for (std::size_t i = 0; i < limb.size(); ++i) {
      std::uint32_t next = i + 1 < limb.size() ? limb[i + 1] : 0;
      limb[i] = (limb[i] >> bits) | static_cast<std::uint32_t>(static_cast<std::uint64_t>(next) << (32 - bits));
    }
    return out;
  }

  bool zero() const {
    return std::all_of(limb.begin(), limb.end(), [](std::uint32_t l) { return l == 0; });
  }

  // Divides by a small number and returns the remainder.
  std::uint32_t divide(std::uint32_t d) {
    std::uint64_t rest = 0;
    for (std::size_t i = limb.size(); i-- > 0;) {
      std::uint64_t cur = (rest << 32) | limb[i];
      limb[i] = static_cast<std::uint32_t>(cur / d);
      rest = cur % d;
    }
    return static_cast<std::uint32_t>(rest);
  }

  std::string decimal() const {
    Wide w = *this;
    std::string digits;
    do digits.push_back(static_cast<char>('0' + w.divide(10)));
    while (!w.zero());
    std::reverse(digits.begin(), digits.end());
    return digits;
  }
};

constexpr unsigned kMegabyteBits = 20;
constexpr std::uint32_t kHalf = 1u << (kMegabyteBits - 1);

}  // namespace

std::string formatMegabytes(std::uint32_t freeClusters, std::uint64_t bytesPerCluster, int decimals, char separator) {
  Wide scaled = Wide::product(freeClusters, bytesPerCluster);
  std::uint32_t scale = decimals == 2 ? 100 : 1;
  scaled.multiply(scale);
  std::uint32_t rest = scaled.shiftRight(kMegabyteBits);
  if (rest >= kHalf) scaled.add(1);  // half away from zero: the value is never negative

  std::string digits = scaled.decimal();
  if (decimals == 0) return digits;
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  digits.insert(digits.size() - 2, 1, separator);
  return digits;
}

}  // namespace kv
