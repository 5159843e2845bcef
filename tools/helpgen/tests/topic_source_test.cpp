// Malformed topic sources are refused with a message naming the file and,
// where there is one, the line.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "help_file.h"
#include "topic_source.h"

namespace {

std::string error_of(const std::vector<std::string>& sources) {
  try {
    std::vector<helpgen::Topic> topics;
    for (const std::string& s : sources)
      topics.push_back(helpgen::parse_topic(s, "t" + std::to_string(topics.size() + 1) + ".txt"));
    helpgen::build_help_file(topics, "T");
  } catch (const std::exception& e) {
    return e.what();
  }
  return "accepted";
}

}  // namespace

TEST(TopicSource, MalformedSourcesAreRefused) {
  const std::string head = "context: 1\ntitle: T\n\n";
  const std::pair<std::vector<std::string>, const char*> rows[] = {
      {{"title: T\n\ntext\n"}, "t1.txt:1: missing \"context:\" header"},
      {{"context: 1\n\ntext\n"}, "t1.txt:1: missing \"title:\" header"},
      {{"context: x1\ntitle: T\n"}, "t1.txt:1: expected a context number, got \"x1\""},
      {{"context: 0\ntitle: T\n"}, "t1.txt:1: context number out of range: 0"},
      {{"context: 2147483648\ntitle: T\n"}, "t1.txt:1: context number out of range: 2147483648"},
      {{"context: 1\ncolour: red\n"}, "t1.txt:2: unknown header key \"colour\""},
      {{head + "caf\xc3\xa9\n"}, "t1.txt:4: only printable ASCII characters are allowed"},
      {{head + "x\tb\n"}, "t1.txt:4: only printable ASCII characters are allowed"},
      {{head + "see [this](12\n"}, "t1.txt:4: unfinished jump: [this](12"},
      {{head + "see [](12)\n"}, "t1.txt:4: jump without text"},
      {{head + "  code\nnot code\n"}, "t1.txt:5: every line of a fixed-font block starts with two blanks"},
      {{head + "see [b](2)\n"}, "t1.txt: jump to context 2, which no topic has"},
      {{head, head}, "t2.txt: context 1 is also used by t1.txt"},
      {{head + std::string(5000, 'x') + "\n"}, "t1.txt: a paragraph is too long for one block"},
      {{}, "no topics"},
  };
  for (const auto& [sources, error] : rows) EXPECT_EQ(error_of(sources), error);
}
