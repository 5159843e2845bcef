#include "space/free_space.h"

#include <algorithm>
#include <cstdint>

#include "space/megabytes.h"

namespace kv {

namespace {
// An answer later than a refresh of the drive window is late.
constexpr unsigned kLateMilliseconds = 2000;
constexpr unsigned kLongestPause = 60 * 1000;
}  // namespace

std::string driveRoot(const std::string& text) {
  std::size_t colon = text.find(':');
  return (colon == std::string::npos ? std::string() : text.substr(0, colon + 1)) + "\\";
}

const FreeSpace::Drive& FreeSpace::query(const std::string& slot, std::string& prefix) {
  const std::string root = driveRoot(slot);
  prefix = root.substr(0, root.size() - 1);
  Drive& drive = drives_[root];
  if (asking_ && !drive.waiting && due(drive)) {
    drive.waiting = true;
    drive.askedAt = process_.milliseconds();
    disks_.askFreeSpace(root, [this, root](std::optional<DiskCounters> answer) {
      if (taker_)
        taker_(root, answer);
      else
        take(root, answer);
    });
  }
  return drive;
}

// After one miss the drive is asked at the next refresh still; after more, the pause doubles
// from four seconds up to a minute.
bool FreeSpace::due(const Drive& drive) const {
  if (drive.misses < 2) return true;
  const unsigned pause = std::min(kLongestPause, 1000u << std::min(drive.misses, 6u));
  return process_.milliseconds() - drive.answeredAt >= pause;
}

bool FreeSpace::take(const std::string& root, const std::optional<DiskCounters>& answer) {
  auto found = drives_.find(root);
  if (found == drives_.end()) return false;
  Drive& drive = found->second;
  drive.waiting = false;
  drive.answeredAt = process_.milliseconds();
  const bool inTime = drive.answeredAt - drive.askedAt <= kLateMilliseconds;
  drive.misses = answer && inTime ? 0 : drive.misses + 1;
  // A drive that does not answer shows nothing free, never its own or another drive's old figures.
  const DiskCounters counters = answer.value_or(DiskCounters{});
  const bool changed = counters.sectorsPerCluster != drive.counters.sectorsPerCluster ||
                       counters.bytesPerSector != drive.counters.bytesPerSector ||
                       counters.freeClusters != drive.counters.freeClusters;
  drive.counters = counters;
  return changed;
}

namespace {
std::uint64_t bytesPerCluster(const DiskCounters& c) {
  return static_cast<std::uint64_t>(c.sectorsPerCluster) * c.bytesPerSector;
}
}  // namespace

std::string FreeSpace::shortfree(const std::string& slot) {
  std::string prefix;
  const DiskCounters& c = query(slot, prefix).counters;
  return prefix + formatMegabytes(c.freeClusters, bytesPerCluster(c), 0, '.') + "MB";
}

std::string FreeSpace::longfree(const std::string& slot) {
  std::string prefix;
  const DiskCounters& c = query(slot, prefix).counters;
  return prefix + " " + formatMegabytes(c.freeClusters, bytesPerCluster(c), 2, process_.decimalSeparator()) + " MB";
}

}  // namespace kv
