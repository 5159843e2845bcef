// The shell's contract on the Win32 adapter, in Wine's desktop with its taskbar: the tips are read
// from the shell's own tooltips, the icon is pointed at through the system's input, and the
// browser is a copy of kvcontract.exe under another name that writes down its command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "contract/win32/world_events.h"
#include "contract/worlds.h"
#include "e2e/probe/tray_tips.h"
#include "platform/win32/text_encoding.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_process.h"
#include "platform/win32/win32_shell.h"

namespace kv::contract {
namespace {

using win32::fromUtf8, win32::toUtf8;

constexpr wchar_t kBrowserName[] = L"kvbrowser.exe";
constexpr wchar_t kPageClass[] = L"KvContract.Page";
// The documents' folder, named in letters a Western code page has not (the program's folder may be).
constexpr wchar_t kPagesFolder[] = L"\\\x0416\x0443\x043a";

std::wstring ownFile() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// Started as the browser, the program appends its command line to <itself>.log and ends before
// GoogleTest sees it.
[[maybe_unused]] const bool recorded = [] {
  const std::wstring self = ownFile();
  if (self.size() < wcslen(kBrowserName) || _wcsicmp(self.c_str() + self.size() - wcslen(kBrowserName), kBrowserName))
    return false;
  std::ofstream(std::filesystem::path(self + L".log"), std::ios::app | std::ios::binary)
      << toUtf8(GetCommandLineW()) << "\n";
  ExitProcess(0);
}();

// A tray icon as the shell shows it: its tip and where it is on the screen.
struct ShownIcon {
  std::string tip;
  RECT place;
};

std::vector<ShownIcon> iconsShown() {
  std::vector<ShownIcon> icons;
  each_tray_icon(
      [](const wchar_t* tip, RECT place, void* to) {
        static_cast<std::vector<ShownIcon>*>(to)->push_back({toUtf8(tip), place});
      },
      &icons);
  return icons;
}

void movePointerTo(int x, int y) {
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  move.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &move, sizeof move);
}

struct TrayListener final : WindowEvents {
  std::vector<unsigned> taken;
  void trayMessage(unsigned mouseMessage) override { taken.push_back(mouseMessage); }
};

class Win32ShellWorld final : public ShellWorld {
 public:
  Win32ShellWorld() {
    // The taskbar comes up beside the first program of the session.
    EXPECT_TRUE(runUntil(desktop_, [] { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; })) << "no taskbar";
    WindowLayout layout;
    layout.name = "trayw";
    layout.style = WindowStyle::Hidden;
    window_ = desktop_.create(layout, listener_);
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    folder_ = temp + (L"kvshell-" + std::to_wstring(GetCurrentProcessId()));
    CreateDirectoryW(folder_.c_str(), nullptr);
    // A folder in the ANSI code page: the shell names the browser in it.
    EXPECT_TRUE(CopyFileW(ownFile().c_str(), (folder_ + L"\\" + kBrowserName).c_str(), FALSE));
  }
  ~Win32ShellWorld() override {
    desktop_.destroy(window_);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kPageClass);
    if (pageType_) {
      if (pageType_->empty())
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L".htm");
      else
        setDefault(L".htm", *pageType_);
    }
    for (const wchar_t* name : {L"page.htm", L"page.kvnone"})
      DeleteFileW((folder_ + kPagesFolder + L"\\" + name).c_str());
    RemoveDirectoryW((folder_ + kPagesFolder).c_str());
    for (const wchar_t* name : {L"kvbrowser.exe", L"kvbrowser.exe.log"}) DeleteFileW((folder_ + L"\\" + name).c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  Shell& shell() override { return shell_; }
  WindowHandle window() override { return window_; }
  IconHandle icon() override { return desktop_.iconHandle(window_); }
  std::vector<std::string> tipsShown() override {
    std::vector<std::string> tips;
    for (const ShownIcon& icon : iconsShown()) tips.push_back(icon.tip);
    return tips;
  }
  std::vector<unsigned> pointAt(const std::string& tip) override {
    // The shell's calls back come as sent messages, which any wait of this thread may take.
    listener_.taken.clear();
    for (const ShownIcon& icon : iconsShown()) {
      if (icon.tip != tip) continue;
      // From off the icon onto it, so that the move is one; again, as a user would, while a
      // busy system lets a move go by.
      for (int tries = 0; tries < 20 && listener_.taken.empty(); ++tries) {
        movePointerTo(0, 0);
        runUntil(
            desktop_, [] { return false; }, 50);
        listener_.taken.clear();
        movePointerTo((icon.place.left + icon.place.right) / 2, (icon.place.top + icon.place.bottom) / 2);
        runUntil(
            desktop_, [&] { return !listener_.taken.empty(); }, 500);
      }
      return listener_.taken;
    }
    return {};
  }
  std::string document(bool registered) override {
    CreateDirectoryW((folder_ + kPagesFolder).c_str(), nullptr);
    const std::wstring page = folder_ + kPagesFolder + (registered ? L"\\page.htm" : L"\\page.kvnone");
    std::ofstream(std::filesystem::path(page)) << "\" \"\r\n";
    if (registered && !pageType_) {
      // Wine's classes are the machine's alone; Windows writes them where it reads them first.
      wchar_t type[MAX_PATH] = {};
      DWORD bytes = sizeof type - sizeof(wchar_t);
      RegGetValueW(HKEY_CLASSES_ROOT, L".htm", nullptr, RRF_RT_REG_SZ, nullptr, type, &bytes);
      pageType_ = type;
      setDefault(L".htm", kPageClass);
      setDefault(std::wstring(kPageClass) + L"\\shell\\open\\command", L"\"" + fromUtf8(browser()) + L"\" \"%1\"");
    }
    return toUtf8(page);
  }
  std::string browser() override { return toUtf8(folder_ + L"\\" + kBrowserName); }
  std::vector<std::string> browserStarts(std::size_t count) override {
    std::vector<std::string> starts;
    runUntil(desktop_, [&] {
      std::ifstream log(std::filesystem::path(folder_ + L"\\" + kBrowserName + L".log"), std::ios::binary);
      starts.clear();
      for (std::string line; std::getline(log, line);) starts.push_back(parameters(line));
      return starts.size() >= count;
    });
    return starts;
  }

 private:
  static void setDefault(const std::wstring& key, const std::wstring& value) {
    EXPECT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS)
        << toUtf8(key);
  }
  // A command line without the program's name, quoted or not, and the blanks after it.
  static std::string parameters(const std::string& line) {
    std::size_t end = line[0] == '"' ? line.find('"', 1) + 1 : line.find(' ');
    end = end == std::string::npos ? line.size() : line.find_first_not_of(' ', end);
    return end == std::string::npos ? "" : line.substr(end);
  }

  win32::Win32Process process_;
  win32::Win32Desktop desktop_{GetModuleHandleW(nullptr), process_, kWorldNotice};
  win32::Win32Shell shell_;
  TrayListener listener_;
  WindowHandle window_ = 0;
  std::wstring folder_;
  std::optional<std::wstring> pageType_;  // .htm's own, put back when the world goes
};

}  // namespace

std::unique_ptr<ShellWorld> makeShellWorld() {
  return std::make_unique<Win32ShellWorld>();
}

}  // namespace kv::contract
