#include "space/free_space.h"

#include <gtest/gtest.h>

#include "fake/fake_platform.h"
#include "space/megabytes.h"

namespace kv {
namespace {

class FreeSpaceTest : public ::testing::Test {
 protected:
  void answer(const std::string& root, unsigned spc, unsigned bps, unsigned freeClusters) {
    fake.disks.answers[root] = {DiskCounters{spc, bps, freeClusters, 0}, true};
  }
  fake::FakePlatform fake;
  FreeSpace space{fake.disks, fake.process};
};

TEST_F(FreeSpaceTest, WorkedExample) {
  answer("c:\\", 8, 512, 250);  // 0.9765625 MB
  std::string slot = "c:\\";
  EXPECT_EQ(space.shortfree(slot), "c:1MB");
  EXPECT_EQ(space.longfree(slot), "c: 0.98 MB");
}

TEST_F(FreeSpaceTest, RoundsHalfAwayFromZeroOnExactValues) {
  std::string slot = "c:\\";
  answer("c:\\", 8, 512, 128);  // exactly 0.5 MB
  EXPECT_EQ(space.shortfree(slot), "c:1MB");
  EXPECT_EQ(space.longfree(slot), "c: 0.50 MB");
  answer("c:\\", 8, 512, 32);  // exactly 0.125 MB
  EXPECT_EQ(space.shortfree(slot), "c:0MB");
  EXPECT_EQ(space.longfree(slot), "c: 0.13 MB");
  answer("c:\\", 1, 512, 2559);  // 1.2495 MB
  EXPECT_EQ(space.longfree(slot), "c: 1.25 MB");
  answer("c:\\", 8, 512, 0);
  EXPECT_EQ(space.shortfree(slot), "c:0MB");
  EXPECT_EQ(space.longfree(slot), "c: 0.00 MB");
}

TEST_F(FreeSpaceTest, HugeCountsNeverGoNegativeOrOverflow) {
  std::string slot = "c:\\";
  answer("c:\\", 8, 512, 0x80000000u);  // 2^31 clusters of 4 KiB = 8 TiB
  EXPECT_EQ(space.shortfree(slot), "c:8388608MB");
  EXPECT_EQ(space.longfree(slot), "c: 8388608.00 MB");
  answer("c:\\", 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu);  // bytes per cluster beyond 32 bits
  // (2^32-1)^3 / 2^20 = 75557863673137765298175.99999...: the rounding carries.
  EXPECT_EQ(space.longfree(slot), "c: 75557863673137765298176.00 MB");
  EXPECT_EQ(space.shortfree(slot), "c:75557863673137765298176MB");
}

TEST_F(FreeSpaceTest, SlotIsRewrittenToItsRootAndPrefixKeepsItsCase) {
  answer("d:\\", 8, 512, 256);
  std::string slot = "d:";
  EXPECT_EQ(space.longfree(slot), "d: 1.00 MB");
  EXPECT_EQ(slot, "d:\\");
  answer("C:\\", 8, 512, 256);
  std::string upper = "C:\\whatever";
  EXPECT_EQ(space.shortfree(upper), "C:1MB");
  EXPECT_EQ(upper, "C:\\");
}

TEST_F(FreeSpaceTest, SlotWithoutColonMeasuresTheCurrentRoot) {
  answer("\\", 8, 512, 256);
  std::string slot = "typed in";
  EXPECT_EQ(space.shortfree(slot), "1MB");
  EXPECT_EQ(slot, "\\");
  EXPECT_EQ(space.longfree(slot), " 1.00 MB");
}

TEST_F(FreeSpaceTest, FailedQueryShowsNothingFreeNotAnotherDrivesFigures) {
  answer("c:\\", 8, 512, 2560);
  std::string c = "c:\\", q = "q:\\";
  EXPECT_EQ(space.longfree(c), "c: 10.00 MB");
  EXPECT_EQ(space.longfree(q), "q: 0.00 MB");
  EXPECT_EQ(space.shortfree(q), "q:0MB");
  fake.disks.answers["c:\\"].ok = false;  // the drive stops answering
  EXPECT_EQ(space.longfree(c), "c: 0.00 MB");
}

TEST_F(FreeSpaceTest, UsesTheUsersDecimalSeparatorInTheLongFormOnly) {
  fake.process.separator = ',';
  answer("c:\\", 8, 512, 250);
  std::string slot = "c:\\";
  EXPECT_EQ(space.longfree(slot), "c: 0,98 MB");
  EXPECT_EQ(space.shortfree(slot), "c:1MB");
}

TEST(Megabytes, TiesAndCarries) {
  // Values on either side of a rounding step.
  EXPECT_EQ(formatMegabytes(1048575, 1, 2, '.'), "1.00");  // 0.99999904...
  EXPECT_EQ(formatMegabytes(1048575, 1, 0, '.'), "1");
  EXPECT_EQ(formatMegabytes(524287, 1, 0, '.'), "0");   // just under a half
  EXPECT_EQ(formatMegabytes(524288, 1, 0, '.'), "1");   // exactly a half
  EXPECT_EQ(formatMegabytes(5242, 1, 2, '.'), "0.00");  // 0.004999... rounds down
  EXPECT_EQ(formatMegabytes(5243, 1, 2, '.'), "0.01");
  EXPECT_EQ(formatMegabytes(1u << 30, 1u << 20, 2, '.'), "1073741824.00");
}

}  // namespace
}  // namespace kv
