#pragma once
// The disks port: free-space counters and the drives present.
#include "platform/disks.h"

namespace kv::win32 {

class Win32Disks final : public Disks {
 public:
  bool freeSpace(const std::string& root, DiskCounters&) override;
  std::vector<std::string> driveList() override;
};

}  // namespace kv::win32
