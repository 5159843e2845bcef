#include "space/free_space.h"

#include <cstdint>

#include "space/megabytes.h"

namespace kv {

std::string driveRoot(const std::string& text) {
  std::size_t colon = text.find(':');
  return (colon == std::string::npos ? std::string() : text.substr(0, colon + 1)) + "\\";
}

std::string FreeSpace::query(std::string& slot) {
  slot = driveRoot(slot);
  std::string prefix = slot.substr(0, slot.size() - 1);
  // A drive that does not answer shows nothing free, never another drive's figures.
  counters_ = DiskCounters{};
  if (!disks_.freeSpace(slot, counters_)) counters_ = DiskCounters{};
  return prefix;
}

namespace {
std::uint64_t bytesPerCluster(const DiskCounters& c) {
  return static_cast<std::uint64_t>(c.sectorsPerCluster) * c.bytesPerSector;
}
}  // namespace

std::string FreeSpace::shortfree(std::string& slot) {
  std::string prefix = query(slot);
  return prefix + formatMegabytes(counters_.freeClusters, bytesPerCluster(counters_), 0, '.') + "MB";
}

std::string FreeSpace::longfree(std::string& slot) {
  std::string prefix = query(slot);
  return prefix + " " +
         formatMegabytes(counters_.freeClusters, bytesPerCluster(counters_), 2, process_.decimalSeparator()) + " MB";
}

}  // namespace kv
