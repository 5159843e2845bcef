#pragma once
// Files by path (UTF-8 paths; contents are bytes).
#include <cstddef>
#include <optional>
#include <string>

namespace kv {

class Files {
 public:
  virtual ~Files() = default;
  // A directory search for normal files: hidden, system and folders are not found.
  virtual bool normalFileExists(const std::string& path) = 0;
  // The file's first bytes, at most limit of them, or nothing when it cannot be read. No size
  // of file makes the read fail or exhausts the process.
  virtual std::optional<std::string> read(const std::string& path, std::size_t limit) = 0;
  // Replaces the file as a whole: readers see the old bytes or the new ones, never a mix.
  // Returns an empty text on success, otherwise the reason.
  virtual std::string writeAtomic(const std::string& path, const std::string& bytes) = 0;
  // A new file of that extension in the temporary folder, holding the bytes; its path, or empty.
  virtual std::string createTemporary(const std::string& extension, const std::string& bytes) = 0;
  virtual void remove(const std::string& path) = 0;
};

}  // namespace kv
