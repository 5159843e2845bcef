// The program's own help file and page, as the build wrote them: every topic
// number the program asks for leads, by number and by context name, to its
// topic, and to its anchor in the page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
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

// The values of the program's enum HelpTopic, read from its header.
std::vector<std::int32_t> numbers_the_program_asks_for() {
  const std::string header = std::regex_replace(read_all(HELPGEN_PROGRAM_TOPICS), std::regex("//[^\n]*"), "");
  std::smatch body;
  std::vector<std::int32_t> numbers;
  if (!std::regex_search(header, body, std::regex(R"(enum\s+HelpTopic\b[^{]*\{([^}]*)\})"))) return numbers;
  const std::string values = body[1];
  const std::regex value(R"(=\s*(\d+))");
  for (std::sregex_iterator i(values.begin(), values.end(), value), end; i != end; ++i)
    numbers.push_back(std::atoi((*i)[1].str().c_str()));
  return numbers;
}

// Every value of one attribute in the page, such as every id="...".
std::vector<std::string> attribute_values(const std::string& page, const std::string& name) {
  std::vector<std::string> values;
  const std::regex attribute("\\s" + name + "=\"([^\"]*)\"");
  for (std::sregex_iterator i(page.begin(), page.end(), attribute), end; i != end; ++i) values.push_back((*i)[1]);
  return values;
}

std::string unescaped(std::string html) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, c] : entities) html = std::regex_replace(html, std::regex(entity), c);
  return html;
}

}  // namespace

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

  for (const auto& [number, title] : kProgramTopics) {
    std::uint32_t offset = lookup::kNone;
    for (int i = 0, count = lookup::i16(*map, 0); i < count; ++i)
      if (static_cast<std::int32_t>(lookup::u32(*map, 2 + 8 * i)) == number) offset = lookup::u32(*map, 6 + 8 * i);
    ASSERT_EQ(titles.count(offset), 1u) << number;
    EXPECT_EQ(titles.at(offset), title);
    EXPECT_EQ(lookup::btree_find(*context, helpgen::context_hash(helpgen::context_name(number))), offset);
  }
}

// Without a help viewer the program opens the page at #topic-NUMBER.
TEST(KestrovanHelp, EveryTopicNumberTheProgramAsksForHasItsAnchorInThePage) {
  const std::string page = read_all(HELPGEN_HTML_OUTPUT);
  const std::vector<std::int32_t> numbers = numbers_the_program_asks_for();
  ASSERT_FALSE(numbers.empty()) << "no enum HelpTopic values in " << HELPGEN_PROGRAM_TOPICS;
  const std::map<std::int32_t, std::string> titles(std::begin(kProgramTopics), std::end(kProgramTopics));
  for (std::int32_t number : numbers) {
    const std::string anchor = "topic-" + std::to_string(number);
    std::smatch heading;
    ASSERT_TRUE(std::regex_search(page, heading, std::regex("<section id=\"" + anchor + "\">\\s*<h2>([^<]*)</h2>")))
        << anchor;
    ASSERT_EQ(titles.count(number), 1u) << number << ": a topic the program asks for, missing from kProgramTopics";
    EXPECT_EQ(unescaped(heading[1]), titles.at(number));
  }
}

// Every link is a jump within the page to an anchor that is there once; the
// page needs nothing else, so it works as a single file beside the program.
TEST(KestrovanHelp, ThePagesLinksAllLeadToItsOwnTopics) {
  const std::string page = read_all(HELPGEN_HTML_OUTPUT);
  const std::vector<std::string> ids = attribute_values(page, "id");
  const std::set<std::string> anchors(ids.begin(), ids.end());
  EXPECT_EQ(anchors.size(), ids.size()) << "an id used twice";
  const std::vector<std::string> links = attribute_values(page, "href");
  ASSERT_FALSE(links.empty());
  for (const std::string& link : links) {
    ASSERT_EQ(link.rfind("#", 0), 0u) << link;
    EXPECT_EQ(anchors.count(link.substr(1)), 1u) << link;
  }
  for (const char* outside : {"<script", "<link", "<img", " src=", "url(", "@import"})
    EXPECT_EQ(page.find(outside), std::string::npos) << outside;
  for (char c : page) ASSERT_TRUE(c == '\n' || (c >= 0x20 && c <= 0x7E)) << static_cast<int>(c);
}
