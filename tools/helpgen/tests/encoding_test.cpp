// The number encodings and the context hash, against values worked out by
// hand from the file format's rules.
#include <gtest/gtest.h>

#include <stdexcept>

#include "bytes.h"
#include "context_hash.h"
#include "hlp_reader.h"

using helpgen::Bytes;
using helpgen::ByteWriter;

namespace {

template <typename F>
Bytes encoded(F write) {
  ByteWriter w;
  write(w);
  return w.bytes();
}

}  // namespace

TEST(Encoding, CompressedNumbersPickTheShortFormOnlyWhereTheValueFits) {
  EXPECT_EQ(encoded([](ByteWriter& w) { w.cushort(0); }), (Bytes{0x00}));
  EXPECT_EQ(encoded([](ByteWriter& w) { w.cushort(127); }), (Bytes{0xFE}));
  EXPECT_EQ(encoded([](ByteWriter& w) { w.cushort(128); }), (Bytes{0x01, 0x01}));  // 128 * 2 + 1
  EXPECT_EQ(encoded([](ByteWriter& w) { w.cushort(32767); }), (Bytes{0xFF, 0xFF}));
  EXPECT_THROW(encoded([](ByteWriter& w) { w.cushort(32768); }), std::range_error);

  EXPECT_EQ(encoded([](ByteWriter& w) { w.cshort(-64); }), (Bytes{0x00}));
  EXPECT_EQ(encoded([](ByteWriter& w) { w.cshort(0); }), (Bytes{0x80}));
  EXPECT_EQ(encoded([](ByteWriter& w) { w.cshort(63); }), (Bytes{0xFE}));
  EXPECT_EQ(encoded([](ByteWriter& w) { w.cshort(64); }), (Bytes{0x81, 0x80}));   // (64 + 16384) * 2 + 1
  EXPECT_EQ(encoded([](ByteWriter& w) { w.cshort(-65); }), (Bytes{0x7F, 0x7F}));  // (-65 + 16384) * 2 + 1
  EXPECT_THROW(encoded([](ByteWriter& w) { w.cshort(16384); }), std::range_error);

  EXPECT_EQ(encoded([](ByteWriter& w) { w.clong(0); }), (Bytes{0x00, 0x80}));
  EXPECT_EQ(encoded([](ByteWriter& w) { w.clong(16383); }), (Bytes{0xFE, 0xFF}));
  EXPECT_EQ(encoded([](ByteWriter& w) { w.clong(16384); }), (Bytes{0x01, 0x80, 0x00, 0x80}));
  EXPECT_EQ(encoded([](ByteWriter& w) { w.clong(-16385); }), (Bytes{0xFF, 0x7F, 0xFF, 0x7F}));
}

TEST(Encoding, ContextHashFollowsTheViewersRule) {
  using helpgen::context_hash;
  EXPECT_EQ(context_hash("A"), 17);
  EXPECT_EQ(context_hash("a"), 17);
  EXPECT_EQ(context_hash("Z"), 42);
  EXPECT_EQ(context_hash("0"), 10);
  EXPECT_EQ(context_hash("9"), 9);
  EXPECT_EQ(context_hash("._"), 12 * 43 + 13);
  // I D H _ 1 0 0 code as 25 20 24 13 1 10 10; the sum passes 2^32 at the last step.
  EXPECT_EQ(context_hash("IDH_100"), 2143542237);
  // Long names wrap around in 32 bits, as the viewer's arithmetic does.
  EXPECT_EQ(context_hash("IDH_30000"), hlpread::viewer_hash("IDH_30000"));
  EXPECT_EQ(context_hash("ABCDEFGHIJKLMNOP"), hlpread::viewer_hash("ABCDEFGHIJKLMNOP"));
  EXPECT_THROW(context_hash("a-b"), std::invalid_argument);
  EXPECT_EQ(helpgen::context_name(30000), "IDH_30000");
}
