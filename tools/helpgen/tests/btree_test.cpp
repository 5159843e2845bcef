// B+ trees deeper than one page: every entry is found by the viewer's search
// and the leaves hold all entries in order.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "context_files.h"
#include "hlp_reader.h"

TEST(BTree, ManyEntriesOnSmallPagesMakeSeveralLevelsThatStillFindEveryKey) {
  std::vector<helpgen::ContextEntry> entries;
  std::uint32_t x = 12345;
  for (int i = 0; i < 300; ++i) {
    x = x * 1103515245u + 12345u;  // hashes spread over the whole signed range
    entries.push_back({i + 1, static_cast<std::int32_t>(x), static_cast<std::uint32_t>(i * 7)});
  }
  // 64-byte pages: 7 leaf entries or 9 index entries each.
  helpgen::Bytes file = helpgen::build_context_file(entries, 64);
  hlpread::ContextTree tree = hlpread::read_context_tree(file);

  EXPECT_GE(tree.header.levels, 3);
  EXPECT_EQ(tree.header.entries, 300);
  EXPECT_EQ(tree.header.page_size, 64);
  EXPECT_EQ(tree.header.structure, "L4");
  ASSERT_EQ(tree.leaves.size(), 300u);
  for (std::size_t i = 1; i < tree.leaves.size(); ++i) EXPECT_LT(tree.leaves[i - 1].first, tree.leaves[i].first);

  for (const auto& e : entries) {
    auto found = hlpread::find_in_context_tree(file, e.hash);
    ASSERT_TRUE(found) << e.hash;
    EXPECT_EQ(*found, e.topic_offset);
  }
  EXPECT_FALSE(hlpread::find_in_context_tree(file, tree.leaves.front().first - 1));
  EXPECT_FALSE(hlpread::find_in_context_tree(file, tree.leaves.back().first + 1));
  EXPECT_FALSE(hlpread::find_in_context_tree(file, tree.leaves[100].first + 1));
}

TEST(BTree, OneEntryAndNoEntryMakeASingleLeaf) {
  helpgen::Bytes one = helpgen::build_context_file({{5, -7, 99}});
  hlpread::ContextTree t1 = hlpread::read_context_tree(one);
  EXPECT_EQ(t1.header.levels, 1);
  EXPECT_EQ(t1.header.pages, 1);
  ASSERT_EQ(t1.leaves.size(), 1u);
  EXPECT_EQ(*hlpread::find_in_context_tree(one, -7), 99u);

  helpgen::Bytes none = helpgen::build_context_file({});
  EXPECT_TRUE(hlpread::read_context_tree(none).leaves.empty());
  EXPECT_FALSE(hlpread::find_in_context_tree(none, 0));
}
