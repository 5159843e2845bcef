// The ports' contracts on the Win32 adapter: a scratch folder in the temporary folder, attributes
// and the regional setting changed through the system, and kvcontract.exe as started, with its
// own version block (kvcontract.rc).
#include <gtest/gtest.h>

#include <algorithm>

#include "contract/contract_world.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_process.h"

namespace kv::contract {
namespace {

using win32::fromUtf8, win32::toUtf8;

std::string startedWith;  // main's arguments, before GoogleTest takes its own out
int worlds = 0;

constexpr DWORD kAttributes[] = {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_READONLY};

std::vector<std::wstring> entriesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return names;
}

class Win32World final : public World {
 public:
  Win32World() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    folder_ = temp + (L"kvcontract-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++worlds));
    EXPECT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr)) << toUtf8(folder_);
  }
  ~Win32World() override {
    for (const std::wstring& name : entriesIn(folder_)) {
      const std::wstring path = folder_ + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only file is not deleted
      if (!DeleteFileW(path.c_str())) RemoveDirectoryW(path.c_str());
    }
    RemoveDirectoryW(folder_.c_str());
    if (!separator_.empty()) SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator_.c_str());
  }
  Files& files() override { return files_; }
  Process& process() override { return process_; }
  std::string folder() override { return toUtf8(folder_); }
  std::vector<std::string> namesInFolder() override {
    std::vector<std::string> names;
    for (const std::wstring& name : entriesIn(folder_)) names.push_back(toUtf8(name));
    std::sort(names.begin(), names.end());
    return names;
  }
  void give(const std::string& path, Attribute attribute) override {
    const std::wstring file = fromUtf8(path);
    const DWORD given = kAttributes[static_cast<int>(attribute)];
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), GetFileAttributesW(file.c_str()) | given)) << path;
    // Wine keeps hidden and system in an extended attribute: a file system without them loses both.
    ASSERT_TRUE(GetFileAttributesW(file.c_str()) & given) << path << " kept no attribute";
  }
  std::unique_ptr<Process> anotherCopy() override { return std::make_unique<win32::Win32Process>(); }
  std::string arguments() override { return startedWith; }
  std::string programFile() override { return "kvcontract.exe"; }
  VersionNumbers version() override { return {2, 5, 7}; }  // FILEVERSION 2,5,9,7
  void chooseDecimalSeparator(char separator) override {
    wchar_t before[8] = {};
    if (separator_.empty() && GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, before, 8)) separator_ = before;
    const wchar_t chosen[] = {static_cast<wchar_t>(separator), 0};
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, chosen));
  }

 private:
  std::wstring folder_;
  std::wstring separator_;  // the user's own, put back when the world goes
  win32::Win32Files files_;
  win32::Win32Process process_;
};

}  // namespace

std::unique_ptr<World> makeWorld() {
  return std::make_unique<Win32World>();
}

}  // namespace kv::contract

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) kv::contract::startedWith += (i > 1 ? " " : "") + std::string(argv[i]);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
