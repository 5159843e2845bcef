#pragma once
// The program on the fake platform, and the user's hands: the tray icon, the drive window,
// its popup menu and the Options window.
#include <gtest/gtest.h>

#include "app/app.h"
#include "fake/fake_platform.h"

namespace kv {

using Slots = std::array<std::string, kSlots>;
inline const std::string kConfig = "D:\\Programs\\Kestrovan\\kv99.cfg";
constexpr unsigned kHover = 0x200, kLeftPress = 0x201, kRightPress = 0x204;
constexpr auto kLeft = MouseButton::Left, kRight = MouseButton::Right;

// A settings file as the program writes it: six quoted slots, left and top, each line CR LF.
inline std::string fileOf(const Slots& drives, int left = 1500, int top = 900) {
  std::string out;
  for (const auto& d : drives) out += "\"" + d + "\"\r\n";
  return out + std::to_string(left) + "\r\n" + std::to_string(top) + "\r\n";
}

class AppTest : public ::testing::Test {
 protected:
  AppTest() {
    freeMegabytes("c:\\", 1856.25);
    freeMegabytes("d:\\", 532);
    freeMegabytes("z:\\", 12);
  }
  // Clusters of 1/4 MB, so that a quarter megabyte can be set exactly.
  void freeMegabytes(const std::string& root, double mb) {
    fake.disks.answers[root] = DiskCounters{512, 512, static_cast<unsigned>(mb * 4), 0};
  }
  // Starts the program on this file (none: a first run).
  void start(std::optional<std::string> file, const std::string& arguments = "") {
    if (file) fake.files.entries[kConfig] = {*file};
    fake.process.arguments = arguments;
    enter([&] { app.main(); });
  }
  void enter(const std::function<void()>& entry, UnderBox underBox = UnderBox::Dropped) { fake.enter(entry, underBox); }
  std::string file() { return fake.files.entries.count(kConfig) ? fake.files.entries[kConfig].bytes : "(none)"; }
  fake::FakeWindow& win(const std::string& name) { return fake.desktop.window(name); }
  bool shown(const std::string& name) { return fake.desktop.shown(name); }
  bool exists(const std::string& name) { return fake.desktop.find(name) != nullptr; }
  Rect where() { return win("smallwindow").bounds; }

  void whenModal(std::function<void()> act) {
    fake.desktop.onModal.push_back([act](const std::string&) { act(); });
  }
  // The user chooses a menu entry by what it says; nullptr: the menu closes with nothing chosen.
  static std::function<int(const Menu&)> choose(const char* caption) {
    return [caption](const Menu& menu) {
      if (!caption) return 0;
      for (const MenuEntry& e : menu.entries)
        if (e.visible && e.caption == caption) return e.id;
      ADD_FAILURE() << "the menu " << menu.name << " shows no entry " << caption;
      return 0;
    };
  }
  void tray(unsigned message, const char* menuChoice = nullptr) {
    fake.desktop.onMenu.push_back(choose(menuChoice));
    fake.trayMouse(message);
    fake.desktop.onMenu.clear();
  }
  // The pointer on the drive window, relative to its client area at the press: the window
  // keeps the mouse while a button is held, so the moves share the press's origin.
  void press(MouseButton b, int x = 300, int y = 150) {
    enter([&] { fake.desktop.sink("smallwindow").mouseDown(b, x, y); }, UnderBox::BringsItUp);
    pointer_ = {x, y};
  }
  void drag(int dx, int dy) {  // the pointer moves on the screen; the window has moved with it
    Rect at = where();
    pointer_ = {pointer_.x + dx, pointer_.y + dy};
    enter([&] { fake.desktop.sink("smallwindow").mouseMove(pointer_.x, pointer_.y); });
    pointer_ = {pointer_.x - (where().left - at.left), pointer_.y - (where().top - at.top)};
  }
  void release(MouseButton b, const char* menuChoice = nullptr) {
    fake.desktop.onMenu.push_back(choose(menuChoice));
    enter([&] { fake.desktop.sink("smallwindow").mouseUp(b, pointer_.x, pointer_.y); });
    fake.desktop.onMenu.clear();
  }
  std::string line(int slot) { return win("smallwindow").controls.at(DriveWindow::kSlotLine[slot]).text; }
  // The drives the last popup menu listed: its entries shown above its first separator.
  std::vector<std::string> menuDrives() {
    std::vector<std::string> drives;
    for (const MenuEntry& e : fake.desktop.menusShown.back().entries) {
      if (e.separator()) break;
      if (e.visible) drives.push_back(e.caption);
    }
    return drives;
  }
  void popup(const char* choice) {
    press(kRight);
    release(kRight, choice);
  }
  // The shell restarts: its new notification area knows no icons and tells every window so.
  void shellRestarts() {
    fake.shell.iconPresent = false;
    enter([&] { fake.desktop.sink("tbarw").taskbarCreated(); }, UnderBox::Runs);
  }

  // Options, as the user's clicks reach it: the click makes it the active window first.
  WindowEvents& options() { return fake.desktop.sink("optionswindow"); }
  void optionsClick(int id) {
    enter([&] {
      fake.desktop.activate(fake.desktop.handleOf("optionswindow"));
      options().controlClicked(id);
    });
  }
  void box(int n) { optionsClick(OptionsWindow::FirstBox + n - 1); }
  // The drives from now on, as Okay in Options commits them.
  void commit(const Slots& drives) {
    enter([&] { app.commitDrives(drives, dynamic_cast<Form&>(fake.desktop.sink("smallwindow"))); });
  }
  void pick(int n, int item) {  // checks box n, chooses a list entry and accepts it
    box(n);
    win("optionswindow").controls.at(OptionsWindow::DrivePicker).current = item;
    optionsClick(OptionsWindow::AcceptDrive);
  }

  // The program loads every window it needs by name, never by reading one it has not loaded.
  void TearDown() override { EXPECT_EQ(app.loadsOnRead(), 0u); }

  fake::FakePlatform fake;
  App app{fake.platform};

 private:
  Point pointer_;
};

}  // namespace kv
