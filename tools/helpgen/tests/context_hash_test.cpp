// The context hash against values worked out from the viewer's rule: h = h * 43
// + code in 32 bits, letters of either case coding as 17..42, digits 1..9 as
// themselves, 0 as 10, '.' as 12 and '_' as 13.
#include <gtest/gtest.h>

#include <utility>

#include "context_hash.h"

TEST(ContextHash, MatchesTheViewersHash) {
  const std::pair<const char*, std::int32_t> rows[] = {{"A", 17},
                                                       {"z", 42},
                                                       {"0", 10},
                                                       {"9", 9},
                                                       {"._", 12 * 43 + 13},
                                                       {"IDH_100", 2143542237},
                                                       {"IDH_30000", -838379953},  // wraps around in 32 bits
                                                       {"IDH_2147483647", 1283678428}};
  for (const auto& [name, hash] : rows) EXPECT_EQ(helpgen::context_hash(name), hash) << name;
}
