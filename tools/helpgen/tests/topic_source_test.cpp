// Reading topic sources: the header, the kinds of block, jumps, and the
// messages for malformed input.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "topic_source.h"

using helpgen::parse_topic;
using helpgen::Piece;
using helpgen::Style;

namespace {

std::string error_of(const std::string& text) {
  try {
    parse_topic(text, "t.txt");
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST(TopicSource, ReadsHeaderAndEveryKindOfBlock) {
  auto t = parse_topic(
      "context: 400\r\n"
      "title:  The tray icon \n"
      "\n"
      "First line\n"
      "  continues here.\n"
      "\n"
      "\n"
      "# Menu\n"
      "\n"
      "- one\n"
      "  more\n"
      "- two\n"
      "10. ten\n"
      "\n"
      "  \"c:\\\"\n"
      "  0\n",
      "t.txt");
  EXPECT_EQ(t.context, 400);
  EXPECT_EQ(t.title, "The tray icon");
  ASSERT_EQ(t.paragraphs.size(), 6u);
  EXPECT_EQ(t.paragraphs[0].style, Style::Body);
  EXPECT_EQ(plain_text(t.paragraphs[0]), "First line continues here.");
  EXPECT_EQ(t.paragraphs[1].style, Style::Heading);
  EXPECT_EQ(plain_text(t.paragraphs[1]), "Menu");
  EXPECT_EQ(t.paragraphs[2].style, Style::Item);
  EXPECT_EQ(t.paragraphs[2].marker, "\x95");
  EXPECT_EQ(plain_text(t.paragraphs[2]), "one more");
  EXPECT_EQ(plain_text(t.paragraphs[3]), "two");
  EXPECT_EQ(t.paragraphs[4].marker, "10.");
  EXPECT_EQ(plain_text(t.paragraphs[4]), "ten");
  EXPECT_EQ(t.paragraphs[5].style, Style::Code);
  EXPECT_EQ(plain_text(t.paragraphs[5]), "\"c:\\\"\n0");
}

TEST(TopicSource, SplitsJumpsOutOfRunningText) {
  auto t = parse_topic("context: 1\ntitle: T\n\nSee [the options](200) and [about](300).\n", "t.txt");
  ASSERT_EQ(t.paragraphs.size(), 1u);
  const auto& pieces = t.paragraphs[0].pieces;
  ASSERT_EQ(pieces.size(), 5u);
  EXPECT_EQ(pieces[0].text, "See ");
  EXPECT_EQ(pieces[1].kind, Piece::Kind::Jump);
  EXPECT_EQ(pieces[1].text, "the options");
  EXPECT_EQ(pieces[1].target, 200);
  EXPECT_EQ(pieces[2].text, " and ");
  EXPECT_EQ(pieces[3].target, 300);
  EXPECT_EQ(pieces[4].text, ".");
}

TEST(TopicSource, RejectsMalformedInputNamingTheLine) {
  EXPECT_EQ(error_of("title: T\n\ntext\n"), "t.txt:1: missing \"context:\" header");
  EXPECT_EQ(error_of("context: 1\n\ntext\n"), "t.txt:1: missing \"title:\" header");
  EXPECT_EQ(error_of("context: x1\ntitle: T\n"), "t.txt:1: expected a context number, got \"x1\"");
  EXPECT_EQ(error_of("context: 0\ntitle: T\n"), "t.txt:1: context number out of range: 0");
  EXPECT_EQ(error_of("context: 2147483648\ntitle: T\n"), "t.txt:1: context number out of range: 2147483648");
  EXPECT_EQ(error_of("context: 1\ncolour: red\n"), "t.txt:2: unknown header key \"colour\"");
  EXPECT_EQ(error_of("context: 1\ntitle: T\n\ncaf\xc3\xa9\n"), "t.txt:4: only printable ASCII characters are allowed");
  EXPECT_EQ(error_of("context: 1\ntitle: T\n\nx\tb\n"), "t.txt:4: only printable ASCII characters are allowed");
  EXPECT_EQ(error_of("context: 1\ntitle: T\n\nsee [this](12\n"), "t.txt:4: unfinished jump: [this](12");
  EXPECT_EQ(error_of("context: 1\ntitle: T\n\nsee [](12)\n"), "t.txt:4: jump without text");
  EXPECT_EQ(error_of("context: 1\ntitle: T\n\n  code\nnot code\n"),
            "t.txt:5: every line of a fixed-font block starts with two blanks");
}
