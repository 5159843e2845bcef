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
  // The drives present, each its lower-case letter and a colon ("c:"); asks no drive anything.
  virtual std::vector<std::string> driveList() = 0;
  // A drive's label ("" where it has none or does not answer), asked beside the windows as the
  // counters are, since a share whose server has gone answers only when the network gives up.
  // The answer comes later on the windows' thread, never during this call, and also while a
  // message box is up, as the counters do.
  using LabelAnswer = std::function<void(const std::string& label)>;
  virtual void askLabel(const std::string& root, LabelAnswer answer) = 0;
};

}  // namespace kv
