#pragma once
// Drives: free-space counters and the list of drives present.
#include <string>
#include <vector>

namespace kv {

struct DiskCounters {
  unsigned sectorsPerCluster = 0;
  unsigned bytesPerSector = 0;
  unsigned freeClusters = 0;
  unsigned totalClusters = 0;
};

class Disks {
 public:
  virtual ~Disks() = default;
  // Fills the counters for a root such as c:\ and says whether the system answered.
  virtual bool freeSpace(const std::string& root, DiskCounters&) = 0;
  // One entry per drive, each starting with the lower-case letter and a colon ("c: [system]").
  virtual std::vector<std::string> driveList() = 0;
};

}  // namespace kv
