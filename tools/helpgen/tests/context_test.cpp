// Finding a topic by context name: the hash, against values worked out from
// the viewer's rule (h = h * 43 + code in 32 bits; letters of either case code
// as 17..42, digits 1..9 as themselves, 0 as 10, '.' as 12, '_' as 13), and
// the viewer's search through a |CONTEXT tree deeper than one page.
#include <gtest/gtest.h>

#include <stdexcept>

#include "context_files.h"
#include "context_hash.h"
#include "hlp_lookup.h"

TEST(ContextHash, MatchesTheViewersHash) {
  const struct {
    const char* name;
    std::int32_t hash;
  } rows[] = {{"A", 17},
              {"z", 42},
              {"0", 10},
              {"9", 9},
              {"._", 12 * 43 + 13},
              {"IDH_100", 2143542237},
              {"IDH_30000", -838379953},  // wraps around in 32 bits
              {"IDH_2147483647", 1283678428}};
  for (const auto& row : rows) EXPECT_EQ(helpgen::context_hash(row.name), row.hash) << row.name;
  EXPECT_EQ(helpgen::context_name(30000), "IDH_30000");
  EXPECT_THROW(helpgen::context_hash("a-b"), std::invalid_argument);
}

TEST(ContextTree, EveryEntryOfASeveralLevelTreeIsFound) {
  std::vector<helpgen::ContextEntry> entries;
  std::uint32_t x = 12345;
  for (int i = 0; i < 300; ++i) {
    x = x * 1103515245u + 12345u;  // even hashes, spread over the whole signed range
    entries.push_back({i + 1, static_cast<std::int32_t>(x & ~1u), static_cast<std::uint32_t>(i * 7)});
  }
  // 64-byte pages: 7 leaf entries or 9 index entries each, so three levels or more.
  const helpgen::Bytes tree = helpgen::build_context_file(entries, 64);
  ASSERT_GE(lookup::i16(tree, 32), 3);
  for (const auto& e : entries) {
    EXPECT_EQ(lookup::btree_find(tree, e.hash), e.topic_offset) << e.hash;
    EXPECT_EQ(lookup::btree_find(tree, e.hash + 1), std::nullopt) << e.hash + 1;
  }
}
