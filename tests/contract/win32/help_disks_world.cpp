// The help viewer's and the drives' contracts on the Win32 adapter, each port with the real
// desktop and process it is made with.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "contract/ports_world.h"
#include "contract/win32/world_events.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_disks.h"
#include "platform/win32/win32_help.h"
#include "platform/win32/win32_process.h"

namespace kv::contract {
namespace {

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
  bool runEventsUntil(const std::function<bool()>& done) override { return pumpUntil(done); }
  std::string label(const std::string& root) override {
    wchar_t label[MAX_PATH + 1] = {};
    char ansi[2 * MAX_PATH + 2] = {};
    GetVolumeInformationW(win32::fromUtf8(root).c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
    WideCharToMultiByte(CP_ACP, 0, label, -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
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
  win32::Win32Disks disks_{desktop_, process_, kWorldNotice};
};

}  // namespace

std::unique_ptr<HelpWorld> makeHelpWorld() {
  return std::make_unique<Win32HelpWorld>();
}
std::unique_ptr<DisksWorld> makeDisksWorld() {
  return std::make_unique<Win32DisksWorld>();
}

}  // namespace kv::contract
