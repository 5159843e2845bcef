// The files', the process', the help viewer's and the drives' contracts on the Win32 adapter: a
// scratch folder in the temporary folder, attributes and the regional setting changed through the
// system, kvcontract.exe as started with its own version block (kvcontract.rc), and each port with
// the real desktop and process it is made with.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "contract/win32/world_events.h"
#include "contract/worlds.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_disks.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_help.h"
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
  void makeFolder(const std::string& path) override { ASSERT_TRUE(CreateDirectoryW(fromUtf8(path).c_str(), nullptr)); }
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

// The windows of the viewer's process: its own, and the messages it puts up.
std::vector<HWND> viewerWindows(const wchar_t* windowClass) {
  DWORD viewer = 0, process = 0;
  std::vector<HWND> found;
  if (!GetWindowThreadProcessId(FindWindowW(L"MS_WINHELP", nullptr), &viewer)) return found;
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, windowClass, nullptr));)
    if (GetWindowThreadProcessId(w, &process) && process == viewer) found.push_back(w);
  return found;
}

class Win32HelpWorld final : public HelpWorld {
 public:
  ~Win32HelpWorld() override {
    closing_ = false;
    if (user_.joinable()) user_.join();
    for (HWND viewer : viewerWindows(L"MS_WINHELP")) PostMessageW(viewer, WM_CLOSE, 0, 0);
  }
  HelpViewer& help() override { return help_; }
  bool systemHasHelpViewer() override { return true; }
  std::string missingFile() override {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return win32::toUtf8(temp) + "kvcontract-gone.hlp";
  }
  void closeViewerMessages() override {
    closing_ = true;
    user_ = std::thread([this] {
      while (closing_) {
        for (HWND box : viewerWindows(L"#32770"))
          if (IsWindowVisible(box)) PostMessageW(box, WM_CLOSE, 0, 0);
        Sleep(50);  // as often as a user might look
      }
    });
  }

 private:
  std::atomic<bool> closing_{false};
  std::thread user_;
  win32::Win32Process process_;
  win32::Win32Desktop desktop_{GetModuleHandleW(nullptr), process_, kWorldNotice};
  win32::Win32Help help_{desktop_};
};

class Win32DisksWorld final : public DisksWorld {
 public:
  Disks& disks() override { return disks_; }
  bool runEventsUntil(const std::function<bool()>& done) override { return runUntil(desktop_, done); }
  std::string label(const std::string& root) override {
    wchar_t label[MAX_PATH + 1] = {};
    char ansi[2 * MAX_PATH + 2] = {};
    GetVolumeInformationW(win32::fromUtf8(root).c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
    WideCharToMultiByte(CP_ACP, 0, label, -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
  }
  double busyWhileTakingEvents(unsigned ms) override {
    const auto processorTime = [] {  // in 100 ns
      FILETIME created, ended, kernel, user;
      GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
      const auto ticks = [](const FILETIME& t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
      return ticks(kernel) + ticks(user);
    };
    const ULONGLONG before = processorTime(), start = GetTickCount64();
    runUntil(
        desktop_, [] { return false; }, ms);
    return static_cast<double>(processorTime() - before) / 10000 / static_cast<double>(GetTickCount64() - start);
  }
  std::vector<char> letters() override {
    std::vector<char> there;
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i)
      if (drives & (1u << i)) there.push_back(static_cast<char>('a' + i));
    return there;
  }

 private:
  win32::Win32Process process_;
  win32::Win32Desktop desktop_{GetModuleHandleW(nullptr), process_, kWorldNotice};
  win32::Win32Disks disks_{desktop_};
};

}  // namespace

std::unique_ptr<World> makeWorld() {
  return std::make_unique<Win32World>();
}

std::unique_ptr<HelpWorld> makeHelpWorld() {
  return std::make_unique<Win32HelpWorld>();
}
std::unique_ptr<DisksWorld> makeDisksWorld() {
  return std::make_unique<Win32DisksWorld>();
}

}  // namespace kv::contract

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) kv::contract::startedWith += (i > 1 ? " " : "") + std::string(argv[i]);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
