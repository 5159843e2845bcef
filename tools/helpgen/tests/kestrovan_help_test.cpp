// The program's own help file and page, as the build wrote them: every topic number the program asks
// for leads, by number and by context name, to its topic, and to its anchor in the page, whose links
// all lead to its own topics.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "context_hash.h"
#include "hlp_lookup.h"

namespace {

const std::pair<std::int32_t, const char*> kProgramTopics[] = {{30000, "Welcome to Kestrovan '99"},
                                                               {100, "The drive window"},
                                                               {200, "Choosing drives: the Options window"},
                                                               {300, "The About window"},
                                                               {400, "The tray icon and its menu"}};

std::string read_all(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every match of the pattern's first group, such as every value of id="...".
std::vector<std::string> all(const std::string& text, const std::string& pattern) {
  std::vector<std::string> found;
  const std::regex re(pattern);
  for (std::sregex_iterator i(text.begin(), text.end(), re), end; i != end; ++i) found.push_back((*i)[1]);
  return found;
}

}  // namespace

TEST(KestrovanHelp, EveryTopicNumberTheProgramAsksForOpensItsTopicInTheFileAndThePage) {
  const std::string hlp = read_all(HELPGEN_OUTPUT), page = read_all(HELPGEN_HTML_OUTPUT);
  const lookup::Bytes file(hlp.begin(), hlp.end());
  auto topic = lookup::internal_file(file, "|TOPIC");
  auto context = lookup::internal_file(file, "|CONTEXT");
  auto map = lookup::internal_file(file, "|CTXOMAP");
  ASSERT_TRUE(topic && context && map);
  const auto titles = lookup::titles_by_topic_offset(*topic);
  ASSERT_FALSE(titles.empty());
  EXPECT_EQ(titles.begin()->second, "Welcome to Kestrovan '99");  // shown when no topic is asked for

  // The values of the program's enum HelpTopic, read from its header.
  const std::string header = std::regex_replace(read_all(HELPGEN_PROGRAM_TOPICS), std::regex("//[^\n]*"), "");
  std::set<std::int32_t> asked, listed;
  for (const std::string& body : all(header, R"(enum\s+HelpTopic\b[^{]*\{([^}]*)\})"))
    for (const std::string& value : all(body, R"(=\s*(\d+))")) asked.insert(std::atoi(value.c_str()));
  for (const auto& [number, title] : kProgramTopics) {
    listed.insert(number);
    std::uint32_t offset = lookup::kNone;
    for (int i = 0, count = lookup::i16(*map, 0); i < count; ++i)
      if (static_cast<std::int32_t>(lookup::u32(*map, 2 + 8 * i)) == number) offset = lookup::u32(*map, 6 + 8 * i);
    ASSERT_EQ(titles.count(offset), 1u) << number;
    EXPECT_EQ(titles.at(offset), title);
    EXPECT_EQ(lookup::btree_find(*context, helpgen::context_hash(helpgen::context_name(number))), offset);
    // Without a help viewer the program opens the page at #topic-NUMBER.
    const std::string heading = std::regex_replace(title, std::regex("'"), "&#39;");
    EXPECT_NE(page.find("<section id=\"topic-" + std::to_string(number) + "\">\n<h2>" + heading + "</h2>"),
              std::string::npos)
        << number;
  }
  EXPECT_EQ(asked, listed) << "the topics the program asks for, in " << HELPGEN_PROGRAM_TOPICS;
}

// The page needs nothing beside it: it works as a single file beside the program.
TEST(KestrovanHelp, ThePagesLinksAllLeadToItsOwnTopics) {
  const std::string page = read_all(HELPGEN_HTML_OUTPUT);
  const std::vector<std::string> ids = all(page, "\\sid=\"([^\"]*)\""), links = all(page, "\\shref=\"([^\"]*)\"");
  const std::set<std::string> anchors(ids.begin(), ids.end());
  EXPECT_EQ(anchors.size(), ids.size()) << "an id used twice";
  ASSERT_FALSE(links.empty());
  for (const std::string& link : links) EXPECT_TRUE(link.rfind('#', 0) == 0 && anchors.count(link.substr(1))) << link;
  for (const char* outside : {"<script", "<link", "<img", " src=", "url(", "@import"})
    EXPECT_EQ(page.find(outside), std::string::npos) << outside;
  for (char c : page) ASSERT_TRUE(c == '\n' || (c >= 0x20 && c <= 0x7E)) << static_cast<int>(c);
}
