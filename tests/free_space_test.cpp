// Free space as the tooltip (short) and the drive window (long) show it.
#include "space/free_space.h"

#include <gtest/gtest.h>

#include "fake/fake_platform.h"

namespace kv {
namespace {

struct Row {
  std::string slot, root;
  std::optional<DiskCounters> counters;  // sectors per cluster, bytes per sector, free clusters; none: no answer
  std::string shortForm, longForm;
  char separator = '.';  // the user's decimal separator
};

TEST(FreeSpace, FiguresRoundHalfAwayFromZeroNeverOverflowAndNameTheSlotsRoot) {
  const Row rows[] = {
      {"c:\\", "c:\\", DiskCounters{8, 512, 250}, "c:1MB", "c: 0.98 MB"},  // 0.9765625 MB
      {"c:\\", "c:\\", DiskCounters{8, 512, 128}, "c:1MB", "c: 0.50 MB"},  // exactly half a megabyte
      {"c:\\", "c:\\", DiskCounters{8, 512, 32}, "c:0MB", "c: 0.13 MB"},   // exactly 0.125
      {"c:\\", "c:\\", DiskCounters{1, 512, 2559}, "c:1MB", "c: 1.25 MB"},
      {"c:\\", "c:\\", DiskCounters{8, 512, 0}, "c:0MB", "c: 0.00 MB"},
      {"c:\\", "c:\\", DiskCounters{8, 512, 0x80000000u}, "c:8388608MB", "c: 8388608.00 MB"},
      {"c:\\", "c:\\", DiskCounters{~0u, ~0u, ~0u}, "c:75557863673137765298176MB", "c: 75557863673137765298176.00 MB"},
      {"c:\\", "c:\\", DiskCounters{1, 1, 524287}, "c:0MB", "c: 0.50 MB"},  // a byte short of half a megabyte
      // Sums and a rounding that carry from one 32-bit word of the figure to the next.
      {"c:\\", "c:\\", DiskCounters{~0u, 2, ~0u}, "c:35184372072448MB", "c: 35184372072448.00 MB"},
      {"c:\\", "c:\\", DiskCounters{7168, 512, 1227133513}, "c:4294967296MB", "c: 4294967295.50 MB"},
      {"d:", "d:\\", DiskCounters{8, 512, 256}, "d:1MB", "d: 1.00 MB"},
      {"d:\\anything", "d:\\", DiskCounters{8, 512, 256}, "d:1MB", "d: 1.00 MB"},
      {"typed in", "\\", DiskCounters{8, 512, 256}, "1MB", " 1.00 MB"},
      {"c:\\", "c:\\", DiskCounters{8, 512, 2560}, "c:10MB", "c: 10,00 MB", ','},
      {"q:\\", "q:\\", std::nullopt, "q:0MB", "q: 0.00 MB"},
  };
  for (const Row& row : rows) {
    fake::FakePlatform fake;
    if (row.counters) fake.disks.answers[row.root] = *row.counters;
    fake.process.separator = row.separator;
    FreeSpace space(fake.disks, fake.process);
    std::string slot = row.slot;
    fake.enter([&] { space.shortfree(slot); });  // asks; the answer comes after the entry
    EXPECT_EQ(space.shortfree(slot), row.shortForm);
    EXPECT_EQ(space.longfree(slot), row.longForm);
  }
}

}  // namespace
}  // namespace kv
