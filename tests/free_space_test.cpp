// Free space as the tooltip (short) and the drive window (long) show it.
#include "space/free_space.h"

#include "fake/fake_platform.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

struct Row {
  DiskCounters counters;  // sectors per cluster, bytes per sector, free clusters
  const char* shortForm;
  const char* longForm;
};

TEST(FreeSpace, FiguresRoundHalfAwayFromZeroAndNeverOverflow) {
  const Row rows[] = {
      {{8, 512, 250}, "c:1MB", "c: 0.98 MB"},  // 0.9765625 MB
      {{8, 512, 128}, "c:1MB", "c: 0.50 MB"},  // exactly half a megabyte
      {{8, 512, 32}, "c:0MB", "c: 0.13 MB"},   // exactly 0.125
      {{1, 512, 2559}, "c:1MB", "c: 1.25 MB"},
      {{8, 512, 0}, "c:0MB", "c: 0.00 MB"},
      {{8, 512, 0x80000000u}, "c:8388608MB", "c: 8388608.00 MB"},
      {{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}, "c:75557863673137765298176MB", "c: 75557863673137765298176.00 MB"},
  };
  for (const Row& row : rows) {
    fake::FakePlatform fake;
    fake.disks.answers["c:\\"] = row.counters;
    FreeSpace space(fake.disks, fake.process);
    std::string slot = "c:\\";
    EXPECT_EQ(space.shortfree(slot), row.shortForm);
    EXPECT_EQ(space.longfree(slot), row.longForm);
  }
}

TEST(FreeSpace, TheSlotBecomesItsRootAndTheLongFormTakesTheUsersSeparator) {
  fake::FakePlatform fake;
  fake.process.separator = ',';
  fake.disks.answers["d:\\"] = {8, 512, 250};
  fake.disks.answers["\\"] = {8, 512, 256};
  FreeSpace space(fake.disks, fake.process);
  const std::array<std::string, 4> rows[] = {
      {"d:", "d:\\", "d:1MB", "d: 0,98 MB"},
      {"d:\\anything", "d:\\", "d:1MB", "d: 0,98 MB"},
      {"typed in", "\\", "1MB", " 1,00 MB"},
  };
  for (const auto& [typed, root, shortForm, longForm] : rows) {
    std::string slot = typed;
    EXPECT_EQ(space.shortfree(slot), shortForm);
    EXPECT_EQ(slot, root);
    EXPECT_EQ(space.longfree(slot), longForm);
  }
}

TEST(FreeSpace, ADriveThatDoesNotAnswerShowsNothingFreeNotTheLastDrivesFigures) {
  fake::FakePlatform fake;
  fake.disks.answers["c:\\"] = {8, 512, 2560};
  FreeSpace space(fake.disks, fake.process);
  std::string c = "c:\\", q = "q:\\";
  EXPECT_EQ(space.longfree(c), "c: 10.00 MB");
  EXPECT_EQ(space.longfree(q), "q: 0.00 MB");
  EXPECT_EQ(space.shortfree(c), "c:10MB");
  EXPECT_EQ(space.shortfree(q), "q:0MB");
}

}  // namespace
}  // namespace kv
