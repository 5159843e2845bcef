#pragma once
// The program's files as the model test sees them: every call goes to the fake files that
// outlive one process (a restart reads what the last one saved), and each read and write is
// reported as it happens, so that a saved file is checked at the moment it is written.
#include <functional>
#include <optional>
#include <string>

#include "fake/fake_platform.h"

namespace kv::model {

class ObservedFiles : public Files {
 public:
  explicit ObservedFiles(fake::FakeFiles& files) : files_(files) {}

  bool normalFileExists(const std::string& path) override {
    ++calls;
    return files_.normalFileExists(path);
  }
  std::optional<std::string> read(const std::string& path, std::size_t limit) override {
    ++calls;
    std::optional<std::string> bytes = files_.read(path, limit);
    if (onRead) onRead(path, bytes);
    return bytes;
  }
  std::string writeAtomic(const std::string& path, const std::string& bytes) override {
    ++calls;
    std::string reason = files_.writeAtomic(path, bytes);
    if (onWrite) onWrite(path, bytes, reason);
    return reason;
  }
  std::string createTemporary(const std::string& extension, const std::string& bytes) override {
    return files_.createTemporary(extension, bytes);
  }
  void remove(const std::string& path) override { files_.remove(path); }

  std::function<void(const std::string& path, const std::optional<std::string>& bytes)> onRead;
  // reason: empty when the write succeeded.
  std::function<void(const std::string& path, const std::string& bytes, const std::string& reason)> onWrite;
  int calls = 0;  // existence tests, reads and writes of the settings file

 private:
  fake::FakeFiles& files_;
};

}  // namespace kv::model
