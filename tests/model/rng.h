#pragma once
// A small seeded generator whose sequence is the same on every compiler and library
// (splitmix64), so that a seed printed by one build reproduces on another.
#include <cstdint>

namespace kv::model {

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  bool percent(int p) { return below(100) < p; }

 private:
  std::uint64_t state_;
};

// The seed of sequence i of a run: sequences are independent of how many ran before.
inline std::uint64_t sequenceSeed(std::uint64_t runSeed, int i) {
  Rng mix(runSeed ^ (0xA5A5A5A5ull * static_cast<std::uint64_t>(i + 1)));
  return mix.next();
}

}  // namespace kv::model
