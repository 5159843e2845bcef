#include "platform/win32/win32_disks.h"

#include <cctype>

#include "platform/win32/win32_api.h"

namespace kv::win32 {

bool Win32Disks::freeSpace(const std::string& root, DiskCounters& counters) {
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  const BOOL answered =
      GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters);
  if (!answered) return false;
  counters.sectorsPerCluster = sectorsPerCluster;
  counters.bytesPerSector = bytesPerSector;
  counters.freeClusters = freeClusters;
  counters.totalClusters = totalClusters;
  return true;
}

std::vector<std::string> Win32Disks::driveList() {
  std::vector<std::string> drives;
  char roots[26 * 4 + 2] = {};  // "c:\" and a NUL per drive letter, then the closing NUL
  const DWORD length = GetLogicalDriveStringsA(sizeof roots - 1, roots);
  if (length == 0 || length >= sizeof roots) return drives;
  for (const char* root = roots; *root; root += lstrlenA(root) + 1) {
    std::string entry;
    entry += static_cast<char>(std::tolower(static_cast<unsigned char>(root[0])));
    entry += ':';
    // A drive that is not ready (no disk in it) has no label; critical errors fail silently.
    char label[MAX_PATH + 1] = {};
    if (GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0) && label[0]) {
      entry += " [";
      entry += label;
      entry += ']';
    }
    drives.push_back(entry);
  }
  return drives;
}

}  // namespace kv::win32
