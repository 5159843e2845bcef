#pragma once
// The free space of one drive slot, in the short form of the tray tooltip (c:1856MB) and the
// long form of the drive window and tray menu (c: 1856.25 MB).
#include <string>

#include "platform/disks.h"
#include "platform/process.h"

namespace kv {

// The text up to its first colon, then a backslash: "d: [data]" and "d:" give d:\, a text
// without a colon gives a lone backslash.
std::string driveRoot(const std::string& text);

class FreeSpace {
 public:
  FreeSpace(Disks& disks, Process& process) : disks_(disks), process_(process) {}

  // Both take the slot itself and leave it in its root form (d: becomes d:\).
  std::string shortfree(std::string& slot);
  std::string longfree(std::string& slot);

 private:
  // Measures the slot's drive; returns the prefix (the text up to its first colon).
  std::string query(std::string& slot);

  Disks& disks_;
  Process& process_;
  DiskCounters counters_;
};

}  // namespace kv
