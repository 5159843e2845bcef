#pragma once
// An App on the fake platform, with the files and drives most tests start from.
#include <gtest/gtest.h>

#include "app/app.h"
#include "fake/fake_platform.h"

namespace kv {

inline const std::string kFolder = "C:\\Programs\\Kestrovan";
inline const std::string kConfig = kFolder + "\\kv99.cfg";
inline const std::string kFirstRunFile = "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n0\r\n0\r\n";

class AppTest : public ::testing::Test {
 protected:
  AppTest() {
    fake.disks.answers["c:\\"] = {DiskCounters{8, 512, 475200, 0}, true};  // 1856.25 MB
    fake.disks.answers["d:\\"] = {DiskCounters{8, 512, 136192, 0}, true};  // 532.00 MB
    fake.disks.answers["z:\\"] = {DiskCounters{8, 512, 3072, 0}, true};    // 12.00 MB
  }

  void writeConfig(const std::string& bytes) { fake.files.entries[kConfig] = {bytes}; }
  std::string config() { return fake.files.entries.at(kConfig).bytes; }
  bool configExists() { return fake.files.entries.count(kConfig) == 1; }

  static std::string configWith(const std::array<std::string, kSlots>& drives, int left, int top) {
    std::string out;
    for (const auto& d : drives) out += "\"" + d + "\"\r\n";
    return out + std::to_string(left) + "\r\n" + std::to_string(top) + "\r\n";
  }

  void start(const std::string& arguments = "") {
    fake.process.arguments = arguments;
    fake.enter([this] { app.main(); });
  }
  void enter(const std::function<void()>& entry) { fake.enter(entry); }

  // The user's answer when the next modal window opens.
  void whenModal(std::function<void(WindowHandle)> act) { fake.desktop.onModal.push_back(std::move(act)); }
  void whenMenu(int choice) {
    fake.desktop.onMenu.push_back([choice](const Menu&) { return choice; });
  }
  void clickOkay() { fake.desktop.sink("optionswindow").controlClicked(OptionsWindow::Command1); }

  std::vector<std::string> events() {
    return fake.logOf({"create", "destroy", "show", "hide", "modal", "topmost", "help", "write", "notify", "end",
                       "message", "popup", "front"});
  }
  std::vector<std::string> eventsSince(std::size_t mark) {
    auto all = events();
    return std::vector<std::string>(all.begin() + static_cast<long>(mark), all.end());
  }

  fake::FakeWindow& drive() { return fake.desktop.window("smallwindow"); }

  fake::FakePlatform fake;
  App app{fake.platform()};
};

}  // namespace kv
