// A generated file read back: header, directory, |SYSTEM, |FONT, the block
// structure of |TOPIC, and both ways of finding a topic.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "help_file.h"
#include "hlp_reader.h"
#include "topic_source.h"

namespace {

// Topics with enough text to fill several 4 KiB blocks; each one jumps to the next.
std::vector<helpgen::Topic> many_topics(int count) {
  std::vector<helpgen::Topic> topics;
  for (int i = 0; i < count; ++i) {
    std::string text = "context: " + std::to_string(1000 + i) + "\ntitle: Topic number " + std::to_string(i) + "\n\n";
    for (int p = 0; p < 6; ++p) {
      text += "Paragraph " + std::to_string(p) + " of topic " + std::to_string(i) + ".";
      for (int w = 0; w < 20; ++w) text += " Some words to fill it.";
      text += "\n\n";
    }
    text += "- an item\n2. a step\n\n  fixed line one\n  fixed line two\n\n";
    text += "Go on to [the next topic](" + std::to_string(1000 + (i + 1) % count) + ").\n";
    topics.push_back(helpgen::parse_topic(text, "topic" + std::to_string(i)));
  }
  return topics;
}

// Built once, on first use inside a test, so that a file the reader refuses
// fails every test that needs it.
class GeneratedFile : public ::testing::Test {
 protected:
  static const std::vector<helpgen::Topic>& topics() {
    static const std::vector<helpgen::Topic> t = many_topics(14);
    return t;
  }
  static const hlpread::HelpFile& file() {
    static const hlpread::HelpFile f(helpgen::build_help_file(topics(), "Structure Test"));
    return f;
  }
};

}  // namespace

TEST_F(GeneratedFile, HeaderAndDirectoryListTheFiveInternalFilesInByteOrder) {
  const auto& f = file();
  EXPECT_EQ(f.magic, 0x00035F3Fu);
  EXPECT_EQ(f.free_list, 0xFFFFFFFFu);
  EXPECT_EQ(f.directory_tree.page_size, 0x400);
  EXPECT_EQ(f.directory_tree.flags, 0x0402);
  EXPECT_EQ(f.directory_tree.structure, "z4");
  EXPECT_EQ(f.directory_tree.entries, 5);
  std::vector<std::string> names;
  for (const auto& e : f.directory) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"|CONTEXT", "|CTXOMAP", "|FONT", "|SYSTEM", "|TOPIC"}));
  for (std::size_t i = 1; i < names.size(); ++i) EXPECT_LT(std::strcmp(names[i - 1].c_str(), names[i].c_str()), 0);
  for (const auto& e : f.directory) {
    EXPECT_GE(e.offset, 16u);
    EXPECT_LT(e.offset, f.directory_start);
    EXPECT_TRUE(f.internal(e.name)) << e.name;
  }
  EXPECT_FALSE(f.internal("|KWBTREE"));
  EXPECT_FALSE(f.internal("|AAA"));
  EXPECT_FALSE(f.internal("|ZZZ"));
}

TEST_F(GeneratedFile, SystemAndFontDescribeAnUncompressedFileWithItsTitle) {
  const auto& f = file();
  EXPECT_EQ(f.minor, 21);
  EXPECT_EQ(f.major, 1);
  EXPECT_EQ(f.flags, 0);
  EXPECT_EQ(f.title, "Structure Test");
  EXPECT_EQ(f.faces, (std::vector<std::string>{"Arial", "Courier New"}));
  EXPECT_EQ(f.font_count, 4u);
}

TEST_F(GeneratedFile, TopicBlocksAreChainedAndNoRecordCrossesABlock) {
  const auto& f = file();
  auto topic = f.internal("|TOPIC");
  ASSERT_TRUE(topic);
  EXPECT_EQ(topic->size() % 4096, 0u);
  ASSERT_GE(f.blocks.size(), 3u);
  EXPECT_EQ(f.blocks.size(), topic->size() / 4096);

  auto block_of = [](std::uint32_t pos) { return (pos - 12) >> 14; };
  std::uint32_t last_header_before = 0xFFFFFFFF;
  std::size_t k = 0;
  for (std::size_t b = 0; b < f.blocks.size(); ++b) {
    SCOPED_TRACE("block " + std::to_string(b));
    ASSERT_LT(k, f.links.size());
    EXPECT_EQ(block_of(f.links[k].pos), b);
    EXPECT_EQ(f.blocks[b].first_link, f.links[k].pos);
    EXPECT_EQ(f.blocks[b].last_link, k == 0 ? 0xFFFFFFFF : f.links[k - 1].pos);
    EXPECT_EQ(f.blocks[b].last_header, last_header_before);
    for (; k < f.links.size() && block_of(f.links[k].pos) == b; ++k) {
      EXPECT_LE(((f.links[k].pos - 12) & 0x3FFF) + f.links[k].size, 4096u - 12u);
      if (f.links[k].type == 2) last_header_before = f.links[k].pos;
    }
  }
  EXPECT_EQ(k, f.links.size());

  for (std::size_t i = 0; i < f.links.size(); ++i) {
    EXPECT_EQ(f.links[i].prev, i == 0 ? 0xFFFFFFFF : f.links[i - 1].pos);
    if (i > 0) {
      EXPECT_GT(f.links[i].pos, f.links[i - 1].pos);
    }
  }
}

TEST_F(GeneratedFile, TopicsKeepTheirTitlesTextAndBrowseOrder) {
  const auto& f = file();
  const auto& topics = GeneratedFile::topics();
  ASSERT_EQ(f.topics.size(), topics.size());
  for (std::size_t i = 0; i < topics.size(); ++i) {
    const auto& t = f.topics[i];
    SCOPED_TRACE(t.title);
    EXPECT_EQ(t.title, topics[i].title);
    EXPECT_EQ(t.number, i);
    ASSERT_EQ(t.paragraphs.size(), topics[i].paragraphs.size() + 1);
    EXPECT_EQ(t.paragraphs[0].text, topics[i].title);
    EXPECT_EQ(t.paragraphs[0].fonts, (std::vector<unsigned>{1}));
    for (std::size_t p = 0; p < topics[i].paragraphs.size(); ++p) {
      std::string expected = plain_text(topics[i].paragraphs[p]);
      if (topics[i].paragraphs[p].style == helpgen::Style::Item)
        expected = topics[i].paragraphs[p].marker + "\t" + expected;
      EXPECT_EQ(t.paragraphs[p + 1].text, expected);
    }
    EXPECT_EQ(t.browse_back, i == 0 ? 0xFFFFFFFF : f.topics[i - 1].offset);
    EXPECT_EQ(t.browse_forward, i + 1 == topics.size() ? 0xFFFFFFFF : f.topics[i + 1].offset);
    EXPECT_EQ(t.next_topic, i + 1 == topics.size() ? 0xFFFFFFFF : f.topics[i + 1].pos);
    if (i > 0) {
      EXPECT_GT(t.offset, f.topics[i - 1].offset);
    }
  }
  // The text really spreads over several blocks, topics included.
  EXPECT_GT(f.topics.back().offset >> 15, 1u);
}

TEST_F(GeneratedFile, ContextNumbersNamesAndJumpsLeadToTheirTopics) {
  const auto& f = file();
  const auto& topics = GeneratedFile::topics();
  ASSERT_EQ(f.context_map.size(), topics.size());
  ASSERT_EQ(f.context_leaves.size(), topics.size());
  for (std::size_t i = 1; i < f.context_leaves.size(); ++i)
    EXPECT_LT(f.context_leaves[i - 1].first, f.context_leaves[i].first);
  for (std::size_t i = 0; i < topics.size(); ++i) {
    const hlpread::Topic* by_number = f.topic_by_number(topics[i].context);
    ASSERT_NE(by_number, nullptr) << topics[i].context;
    EXPECT_EQ(by_number->title, topics[i].title);
    const hlpread::Topic* by_name = f.topic_by_context_name("IDH_" + std::to_string(topics[i].context));
    ASSERT_NE(by_name, nullptr);
    EXPECT_EQ(by_name, by_number);

    const auto& jumps = f.topics[i].paragraphs.back().jumps;
    ASSERT_EQ(jumps.size(), 1u);
    EXPECT_EQ(jumps[0].text, "the next topic");
    auto target = hlpread::find_in_context_tree(*f.internal("|CONTEXT"), jumps[0].hash);
    ASSERT_TRUE(target);
    EXPECT_EQ(f.topic_at(*target)->title, topics[(i + 1) % topics.size()].title);
  }
  EXPECT_EQ(f.topic_by_number(999), nullptr);
  EXPECT_EQ(f.topic_by_context_name("IDH_999"), nullptr);
}

TEST(HelpFileErrors, DuplicateNumbersMissingJumpTargetsAndOverlongParagraphsAreRefused) {
  auto topic = [](const std::string& text) { return helpgen::parse_topic(text, "x.txt"); };
  EXPECT_THROW(helpgen::build_help_file({topic("context: 5\ntitle: A\n"), topic("context: 5\ntitle: B\n")}, "T"),
               std::runtime_error);
  EXPECT_THROW(helpgen::build_help_file({topic("context: 5\ntitle: A\n\nsee [b](6)\n")}, "T"), std::runtime_error);
  EXPECT_THROW(helpgen::build_help_file({}, "T"), std::runtime_error);
  EXPECT_THROW(helpgen::build_help_file({topic("context: 5\ntitle: A\n\n" + std::string(5000, 'x') + "\n")}, "T"),
               std::length_error);
  EXPECT_THROW(helpgen::build_help_file({topic("context: 5\ntitle: A\n")}, ""), std::invalid_argument);
}
