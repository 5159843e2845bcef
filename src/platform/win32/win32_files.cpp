#include "platform/win32/win32_files.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_api.h"

namespace kv::win32 {
namespace {

constexpr DWORD kNotNormal = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
constexpr size_t kReadPiece = 4096;         // the most bytes one read asks for
constexpr unsigned kTemporaryNames = 1000;  // names tried for a temporary file before giving up

// The system's own words for an error, such as "Access is denied.", in UTF-8 like the paths
// they are shown beside.
std::string reasonFor(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string reason = length && text ? toUtf8(std::wstring(text, length)) : std::string();
  if (text) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
  if (reason.empty()) reason = "Error " + std::to_string(error) + ".";
  return reason;
}

class File {
 public:
  explicit File(HANDLE handle) : handle_(handle) {}
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() { close(); }
  bool open() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool close() {
    if (handle_ == INVALID_HANDLE_VALUE) return true;
    const bool closed = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

// The files are the settings and the web page's lookup, a few dozen bytes: one write takes them
// whole, and one that writes less than it was given has failed.
bool writeAll(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return bytes.size() <= MAXDWORD &&
         WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
}

}  // namespace

bool Win32Files::normalFileExists(const std::string& path) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(fromUtf8(path).c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    found = (entry.dwFileAttributes & kNotNormal) == 0;
  } while (!found && FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

std::optional<std::string> Win32Files::read(const std::string& path, std::size_t limit) {
  File file(CreateFileW(fromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.open()) return std::nullopt;
  // Only the first bytes: the size of the file, whatever it is, is never asked. The text grows
  // with what comes rather than being made at the limit: a buffer of the limit, written once,
  // would stay in the process's memory after the few bytes a file holds are read.
  std::string bytes;
  char piece[kReadPiece];
  while (bytes.size() < limit) {
    DWORD got = 0;
    const DWORD chunk = static_cast<DWORD>(std::min(limit - bytes.size(), sizeof piece));
    if (!ReadFile(file.get(), piece, chunk, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    bytes.append(piece, got);
  }
  return bytes;
}

std::string Win32Files::writeAtomic(const std::string& path, const std::string& bytes) {
  const std::wstring target = fromUtf8(path);
  // Windows refuses to replace a read-only file; Wine's rename does not, so ask first.
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    return reasonFor(ERROR_ACCESS_DENIED);

  // One fixed name beside the file (only one copy of the program runs): what a save cut off by
  // a crash leaves there is simply written over by the next one.
  const std::wstring temporary = target + L".new";
  DWORD error = ERROR_SUCCESS;
  {
    File file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    if (!file.open()) return reasonFor(GetLastError());  // nothing was created
    if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get()) || !file.close()) error = GetLastError();
  }
  if (error == ERROR_SUCCESS &&
      !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = GetLastError();
  if (error == ERROR_SUCCESS) return {};
  DeleteFileW(temporary.c_str());
  return reasonFor(error);
}

std::string Win32Files::createTemporary(const std::string& extension, const std::string& bytes) {
  std::vector<wchar_t> folder(MAX_PATH + 2);
  const DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
  if (length == 0 || length >= folder.size()) return {};
  std::wstring base(folder.data(), length);
  if (base.back() != L'\\') base += L'\\';
  std::wstring suffix = fromUtf8(extension);
  if (!suffix.empty() && suffix.front() != L'.') suffix.insert(suffix.begin(), L'.');

  const std::wstring prefix = base + L"kv99-" + std::to_wstring(GetCurrentProcessId()) + L"-";
  for (unsigned attempt = 0; attempt < kTemporaryNames; ++attempt) {
    const std::wstring name = prefix + std::to_wstring(attempt) + suffix;
    File file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.open()) {
      if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) continue;
      return {};
    }
    const bool written = writeAll(file.get(), bytes);
    if (file.close() && written) return toUtf8(name);
    DeleteFileW(name.c_str());
    return {};
  }
  return {};
}

void Win32Files::remove(const std::string& path) {
  DeleteFileW(fromUtf8(path).c_str());
}

}  // namespace kv::win32
