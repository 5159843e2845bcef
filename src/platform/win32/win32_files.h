#pragma once
// The files port on the wide file API (paths are UTF-8; contents are bytes).
#include "platform/files.h"

namespace kv::win32 {

class Win32Files final : public Files {
 public:
  bool normalFileExists(const std::string& path) override;
  std::optional<std::string> read(const std::string& path, std::size_t limit) override;
  std::string writeAtomic(const std::string& path, const std::string& bytes) override;
  std::string createTemporary(const std::string& extension, const std::string& bytes) override;
  void remove(const std::string& path) override;
};

}  // namespace kv::win32
