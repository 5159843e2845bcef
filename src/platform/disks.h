#pragma once
// Drives: free-space counters and the list of drives present.
#include <functional>
#include <optional>
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
  // The counters, or nothing when the system did not answer (no such drive, no disk in it).
  using Answer = std::function<void(std::optional<DiskCounters>)>;

  virtual ~Disks() = default;
  // Asks for the counters of a root such as c:\ beside the windows, since a drive may take
  // seconds to answer (a share whose server has gone). The answer comes later on the windows'
  // thread, never during this call, and also while a message box is up: an answer lost would
  // leave its drive waiting for good.
  virtual void askFreeSpace(const std::string& root, Answer answer) = 0;
  // One entry per drive, each starting with the lower-case letter and a colon ("c: [system]").
  virtual std::vector<std::string> driveList() = 0;
};

}  // namespace kv
