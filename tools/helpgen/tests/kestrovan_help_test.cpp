// The program's own help file, as the build wrote it: every topic number the
// program asks for leads, by number and by context name, to its topic.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <utility>

#include "context_hash.h"
#include "hlp_lookup.h"

TEST(KestrovanHelp, EveryTopicNumberTheProgramAsksForOpensItsTopic) {
  std::ifstream in(HELPGEN_OUTPUT, std::ios::binary);
  const lookup::Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto topic = lookup::internal_file(file, "|TOPIC");
  auto context = lookup::internal_file(file, "|CONTEXT");
  auto map = lookup::internal_file(file, "|CTXOMAP");
  ASSERT_TRUE(topic && context && map);
  const auto titles = lookup::titles_by_topic_offset(*topic);
  ASSERT_FALSE(titles.empty());
  EXPECT_EQ(titles.begin()->second, "Welcome to Kestrovan '99");  // shown when no topic is asked for

  const std::pair<std::int32_t, const char*> rows[] = {{30000, "Welcome to Kestrovan '99"},
                                                       {100, "The drive window"},
                                                       {200, "Choosing drives: the Options window"},
                                                       {300, "The About window"},
                                                       {400, "The tray icon and its menu"}};
  for (const auto& [number, title] : rows) {
    std::uint32_t offset = lookup::kNone;
    for (int i = 0, count = lookup::i16(*map, 0); i < count; ++i)
      if (static_cast<std::int32_t>(lookup::u32(*map, 2 + 8 * i)) == number) offset = lookup::u32(*map, 6 + 8 * i);
    ASSERT_EQ(titles.count(offset), 1u) << number;
    EXPECT_EQ(titles.at(offset), title);
    EXPECT_EQ(lookup::btree_find(*context, helpgen::context_hash(helpgen::context_name(number))), offset);
  }
}
