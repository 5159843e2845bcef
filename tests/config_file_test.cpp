#include "app/config_file.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

const std::string kSample = "\"c:\\\"\r\n\"\"\r\n\"d:\\\"\r\n\"\"\r\n\"\"\r\n\"z:\\\"\r\n1200\r\n-345\r\n";

TEST(ConfigFile, WritesEightCrlfLinesByteForByte) {
  std::array<std::string, kSlots> drives{"c:\\", "", "d:\\", "", "", "z:\\"};
  EXPECT_EQ(formatConfig(drives, 1200, -345), kSample);
  EXPECT_EQ(formatConfig({}, 0, 0), "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n0\r\n0\r\n");
}

TEST(ConfigFile, ReadsBackWhatItWrote) {
  ConfigRead r = parseConfig(kSample);
  ASSERT_TRUE(r.complete());
  EXPECT_EQ(r.drives[0], "c:\\");
  EXPECT_EQ(r.drives[1], "");
  EXPECT_EQ(r.drives[5], "z:\\");
  EXPECT_EQ(*r.left, 1200);
  EXPECT_EQ(*r.top, -345);
}

TEST(ConfigFile, FieldRules) {
  // Quoted fields keep commas and blanks; unquoted ones drop leading blanks and end at a comma.
  ConfigRead r = parseConfig("\" a,b \"\r\n   d:\r\nx,y\r\n\"q\" junk\r\n\r\n5,  7\r\n");
  ASSERT_TRUE(r.complete());
  EXPECT_EQ(r.drives[0], " a,b ");
  EXPECT_EQ(r.drives[1], "d:");
  EXPECT_EQ(r.drives[2], "x");
  EXPECT_EQ(r.drives[3], "y");
  EXPECT_EQ(r.drives[4], "q");  // what follows a closing quote up to the delimiter is dropped
  EXPECT_EQ(r.drives[5], "");   // the empty line
  EXPECT_EQ(*r.left, 5);
  EXPECT_EQ(*r.top, 7);
}

TEST(ConfigFile, LineEndsOfAnyKindAndContentAfterTheEighthValue) {
  ConfigRead lf = parseConfig("\"a\"\n\"b\"\n\"c\"\n\"d\"\n\"e\"\n\"f\"\n1\n2");
  ASSERT_TRUE(lf.complete());
  EXPECT_EQ(lf.drives[5], "f");
  EXPECT_EQ(*lf.top, 2);
  ConfigRead extra = parseConfig(kSample + "garbage\r\n\"more\"\r\n");
  ASSERT_TRUE(extra.complete());
  EXPECT_EQ(*extra.top, -345);
}

TEST(ConfigFile, StopsAtTheFirstMissingOrBadValueKeepingWhatCameBefore) {
  ConfigRead six = parseConfig("\"c:\\\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"d:\\\"\r\n");
  EXPECT_FALSE(six.complete());
  EXPECT_EQ(six.slotsRead, 6);
  EXPECT_EQ(six.drives[5], "d:\\");
  EXPECT_FALSE(six.left.has_value());

  ConfigRead three = parseConfig("\"a\"\r\n\"b\"\r\n\"c\"");
  EXPECT_EQ(three.slotsRead, 3);

  ConfigRead badTop = parseConfig("\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n15\r\nabc\r\n");
  EXPECT_FALSE(badTop.complete());
  EXPECT_EQ(*badTop.left, 15);
  EXPECT_FALSE(badTop.top.has_value());

  EXPECT_EQ(parseConfig("").slotsRead, 0);
}

TEST(ConfigFile, PositionsAreSixteenBitNumbers) {
  EXPECT_EQ(parsePosition("32767"), 32767);
  EXPECT_EQ(parsePosition("-32768"), -32768);
  EXPECT_FALSE(parsePosition("32768"));
  EXPECT_FALSE(parsePosition("-32769"));
  EXPECT_FALSE(parsePosition("40000"));
  EXPECT_FALSE(parsePosition("99999999999999999999999"));
  EXPECT_EQ(parsePosition("0000000000000000012"), 12);
  EXPECT_EQ(parsePosition("  +44  "), 44);
}

TEST(ConfigFile, FractionsRoundHalfToEven) {
  EXPECT_EQ(parsePosition("1.5"), 2);
  EXPECT_EQ(parsePosition("2.5"), 2);
  EXPECT_EQ(parsePosition("2.50001"), 3);
  EXPECT_EQ(parsePosition("2.49999"), 2);
  EXPECT_EQ(parsePosition("-2.5"), -2);
  EXPECT_EQ(parsePosition("-3.5"), -4);
  EXPECT_EQ(parsePosition(".7"), 1);
  EXPECT_EQ(parsePosition("7."), 7);
  EXPECT_EQ(parsePosition("32767.4"), 32767);
  EXPECT_FALSE(parsePosition("32767.5"));  // rounds to 32768
  EXPECT_EQ(parsePosition("-32768.5"), -32768);
  EXPECT_FALSE(parsePosition("-32769.5"));
}

TEST(ConfigFile, NonNumbersAreReadErrors) {
  for (const char* text : {"", " ", "abc", "12abc", "1.2.3", "--1", "-", ".", "1e3", "0x10", "1 2"})
    EXPECT_FALSE(parsePosition(text)) << '"' << text << '"';
}

TEST(ConfigFile, OddBytesStayBytes) {
  std::string nul("\"a\0b\"\r\n", 7);
  ConfigRead r = parseConfig(nul + "\"\xe9\xff\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n0\r\n0\r\n");
  ASSERT_TRUE(r.complete());
  EXPECT_EQ(r.drives[0], std::string("a\0b", 3));
  EXPECT_EQ(r.drives[1], "\xe9\xff");
  ConfigRead unclosed = parseConfig("\"never closed\r\nstill in it");
  EXPECT_EQ(unclosed.slotsRead, 1);
  EXPECT_FALSE(unclosed.complete());
}

}  // namespace
}  // namespace kv
