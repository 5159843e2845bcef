// What the golden sample is too small to reach: |CONTEXT trees deeper than one
// page, and paragraphs that end right at the end of a 4 KiB topic block.
#include <gtest/gtest.h>

#include <string>

#include "context_files.h"
#include "help_file.h"
#include "hlp_lookup.h"

TEST(Layout, TheViewersSearchFindsEveryEntryOfADeepContextTree) {
  std::vector<helpgen::ContextEntry> entries;  // even hashes over the whole signed range, falling
  for (int i = 0; i < 300; ++i) entries.push_back({i + 1, (150 - i) * 14000000, static_cast<std::uint32_t>(i)});
  const helpgen::Bytes tree = helpgen::build_context_file(entries, 64);  // 7 leaf or 9 index entries a page
  ASSERT_GE(lookup::i16(tree, 32), 3);
  for (const auto& e : entries) {
    EXPECT_EQ(lookup::btree_find(tree, e.hash), e.topic_offset) << e.hash;
    EXPECT_EQ(lookup::btree_find(tree, e.hash + 1), std::nullopt) << e.hash + 1;
  }
}

TEST(Layout, AParagraphEndingNearTheEndOfABlockFitsOrStartsTheNext) {
  for (std::size_t n = 3940; n < 4000; ++n) {
    const std::string text = "context: 1\ntitle: T\n\n" + std::string(n, 'x') + "\n\nSee [the next](2).\n";
    const auto file = helpgen::build_help_file(
        {helpgen::parse_topic(text, "1.txt"), helpgen::parse_topic("context: 2\ntitle: U\n", "2.txt")}, "T");
    EXPECT_EQ(lookup::titles_by_topic_offset(*lookup::internal_file(file, "|TOPIC")).size(), 2u) << n;
  }
}
