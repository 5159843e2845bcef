// The program's own help file, as the build wrote it: every topic number the
// program asks for leads to the topic written for it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hlp_reader.h"

namespace {

const hlpread::HelpFile& help() {
  static const hlpread::HelpFile file = hlpread::HelpFile::load(HELPGEN_OUTPUT);
  return file;
}

void expect_topic(std::int32_t number, const std::string& title, const std::vector<std::string>& phrases) {
  SCOPED_TRACE("topic " + std::to_string(number));
  const hlpread::Topic* t = help().topic_by_number(number);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->title, title);
  EXPECT_EQ(help().topic_by_context_name("IDH_" + std::to_string(number)), t);
  const std::string text = t->text();
  for (const std::string& p : phrases) EXPECT_NE(text.find(p), std::string::npos) << "missing: " << p;
}

}  // namespace

TEST(KestrovanHelp, TitleNamesTheProgramAndTheStartUpTopicComesFirst) {
  EXPECT_EQ(help().title, HELPGEN_TITLE);
  ASSERT_FALSE(help().topics.empty());
  EXPECT_EQ(help().topic_by_number(30000), &help().topics.front());
}

TEST(KestrovanHelp, EveryTopicNumberTheProgramUsesOpensItsTopic) {
  expect_topic(30000, "Welcome to Kestrovan '99",
               {"first time", "Options", "Accept Drive", "Okay", "kv99.cfg", "tray"});
  expect_topic(100, "The drive window",
               {"two seconds", "drag", "any mouse button", "left click", "Hide", "Options", "About", "Help", "Quit"});
  expect_topic(
      200, "Choosing drives: the Options window",
      {"check box", "Accept Drive", "Okay", "Cancel", "Discard Changes", "Ctrl+C", "Accept Changes", "Ctrl+O", "F1"});
  expect_topic(300, "The About window", {"version", "web", "Click anywhere"});
  expect_topic(400, "The tray icon and its menu",
               {"c:1856MB d:532MB", "c: 1856.25 MB", "Show Kestrovan '99", "Options", "About", "Help", "Quit"});
}

TEST(KestrovanHelp, SettingsFileAndStartSwitchAreDescribed) {
  const std::string all = [] {
    std::string s;
    for (const auto& t : help().topics) s += t.text();
    return s;
  }();
  for (const char* phrase : {"kv99.cfg", "\"c:\\\"", "\"\"", "twips", "m or M"})
    EXPECT_NE(all.find(phrase), std::string::npos) << "missing: " << phrase;
}

TEST(KestrovanHelp, EveryJumpLeadsToATopic) {
  const auto& f = help();
  auto context = f.internal("|CONTEXT");
  ASSERT_TRUE(context);
  int jumps = 0;
  for (const auto& t : f.topics)
    for (const auto& p : t.paragraphs)
      for (const auto& j : p.jumps) {
        ++jumps;
        EXPECT_TRUE(hlpread::find_in_context_tree(*context, j.hash)) << t.title << ": " << j.text;
      }
  EXPECT_GT(jumps, 5);
}
