// The tiny input must give exactly the committed file. When the output is
// changed on purpose, rewrite the golden file with the helpgen_golden target
// and look at the difference before committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "help_file.h"
#include "topic_source.h"

TEST(Golden, TinyInputGivesTheCommittedFileByteForByte) {
  std::vector<std::string> paths;
  for (const auto& e : std::filesystem::directory_iterator(HELPGEN_TINY_DIR))
    if (e.path().extension() == ".txt") paths.push_back(e.path().string());
  std::sort(paths.begin(), paths.end());
  ASSERT_EQ(paths.size(), 2u);
  std::vector<helpgen::Topic> topics;
  for (const auto& p : paths) topics.push_back(helpgen::read_topic_file(p));
  helpgen::Bytes built = helpgen::build_help_file(topics, HELPGEN_TINY_TITLE);

  std::ifstream in(HELPGEN_GOLDEN, std::ios::binary);
  ASSERT_TRUE(in) << HELPGEN_GOLDEN << " is missing";
  helpgen::Bytes golden((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  auto mismatch = std::mismatch(built.begin(), built.end(), golden.begin(), golden.end());
  EXPECT_EQ(built.size(), golden.size());
  EXPECT_TRUE(mismatch.first == built.end() && mismatch.second == golden.end())
      << "first difference at byte " << (mismatch.first - built.begin())
      << "; if the change is intended, rebuild the golden file with the helpgen_golden target";
}
