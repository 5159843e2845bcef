// The tray icon, its tooltip and record, the tray menu and the tray window's callback and menus.
#include <algorithm>

#include "app_fixture.h"

namespace kv {
namespace {

using Log = std::vector<std::string>;
using Slots = std::array<std::string, kSlots>;
const std::string kHelp = kFolder + "\\kestrovan99.hlp";
constexpr unsigned kMouseMove = 0x200, kLeftDown = 0x201, kRightDown = 0x204;

class TrayTest : public AppTest {
 protected:
  void startWith(const Slots& drives, int left = 1500, int top = 900) {
    writeConfig(configWith(drives, left, top));
    start();
    ASSERT_FALSE(fake.ended());
  }
  // A drive with exactly this many megabytes free (clusters of one megabyte).
  void freeMegabytes(const std::string& root, unsigned megabytes) {
    fake.disks.answers[root] = {DiskCounters{2048, 512, megabytes, 0}, true};
  }
  void callback(unsigned mouseMessage) {
    enter([&] { fake.desktop.sink("tbarw").trayMessage(mouseMessage); });
  }
  // The tooltip the shell got last, up to its NUL.
  std::string tip() {
    const auto& field = fake.shell.lastRecord.szTip;
    return std::string(field.begin(), std::find(field.begin(), field.end(), '\0'));
  }
  const MenuEntry& tsEntry(const std::string& name) {
    for (const auto& e : app.tbarw.tsmenu().entries)
      if (e.name == name) return e;
    throw std::logic_error("tsmenu has no entry " + name);
  }
  static Log visibleCaptions(const Menu& menu) {
    Log out;
    for (const auto& e : menu.entries)
      if (e.visible) out.push_back(e.caption);
    return out;
  }
  // Right press on the icon, choosing this entry of the tray menu.
  void chooseFromTrayMenu(int id) {
    whenMenu(id);
    callback(kRightDown);
  }
  // Right click on the drive window, choosing this entry of its popup menu.
  void chooseFromDriveMenu(int id) {
    whenMenu(id);
    enter([&] { fake.desktop.sink("smallwindow").mouseDown(MouseButton::Right, 300, 200); });
    enter([&] { fake.desktop.sink("smallwindow").mouseUp(MouseButton::Right, 300, 200); });
  }
  std::size_t mark() { return events().size(); }
};

// ---- tooltip and record

TEST_F(TrayTest, NoDrivesGiveAnEmptyTipAndAMenuThatBeginsWithTheSeparator) {
  startWith({"", "", "", "", "", ""});
  const auto& field = fake.shell.lastRecord.szTip;
  EXPECT_EQ(field[0], '\0');
  EXPECT_TRUE(std::all_of(field.begin() + 1, field.end(), [](char c) { return c == ' '; }));
  for (int k = 1; k <= 6; ++k) EXPECT_FALSE(tsEntry("m" + std::to_string(k)).visible) << k;

  whenMenu(0);
  callback(kRightDown);
  ASSERT_EQ(fake.desktop.menusShown.size(), 1u);
  EXPECT_EQ(visibleCaptions(fake.desktop.menusShown[0]),
            (Log{"-", "&Show Kestrovan '99", "&Options", "&About", "-", "&Help", "&Quit"}));
}

TEST_F(TrayTest, GapsBetweenSlotsGiveSingleBlanksAndNoTrailingBlank) {
  freeMegabytes("e:\\", 7);
  startWith({"c:\\", "", "d:\\", "", "", "e:\\"});
  EXPECT_EQ(tip(), "c:1856MB d:532MB e:7MB");
  // The rest of the field after the NUL is blank.
  const auto& field = fake.shell.lastRecord.szTip;
  ASSERT_EQ(field[22], '\0');
  EXPECT_TRUE(std::all_of(field.begin() + 23, field.end(), [](char c) { return c == ' '; }));

  EXPECT_TRUE(tsEntry("m1").visible);
  EXPECT_EQ(tsEntry("m1").caption, "c: 1856.25 MB");
  EXPECT_FALSE(tsEntry("m2").visible);
  EXPECT_TRUE(tsEntry("m3").visible);
  EXPECT_EQ(tsEntry("m3").caption, "d: 532.00 MB");
  EXPECT_FALSE(tsEntry("m4").visible);
  EXPECT_FALSE(tsEntry("m5").visible);
  EXPECT_TRUE(tsEntry("m6").visible);
  EXPECT_EQ(tsEntry("m6").caption, "e: 7.00 MB");
}

TEST_F(TrayTest, TipOfSixtyThreeCharactersFitsWholeAndLongerOnesAreCut) {
  // Six drives of 4 + digits characters each and five blanks: 24 + 34 + 5 = 63.
  const char* roots[] = {"c:\\", "d:\\", "e:\\", "f:\\", "g:\\", "h:\\"};
  const unsigned exact[] = {111111, 222222, 333333, 444444, 55555, 66666};
  for (int k = 0; k < 6; ++k) freeMegabytes(roots[k], exact[k]);
  startWith({"c:\\", "d:\\", "e:\\", "f:\\", "g:\\", "h:\\"});
  const std::string whole = "c:111111MB d:222222MB e:333333MB f:444444MB g:55555MB h:66666MB";
  ASSERT_EQ(whole.size(), 63u);
  const auto& field = fake.shell.lastRecord.szTip;
  EXPECT_EQ(std::string(field.begin(), field.begin() + 63), whole);
  EXPECT_EQ(field[63], '\0');

  // One digit more: 64 characters, the last one gives way to the NUL.
  freeMegabytes("h:\\", 666666);
  callback(kMouseMove);
  const std::string longer = "c:111111MB d:222222MB e:333333MB f:444444MB g:55555MB h:666666MB";
  ASSERT_EQ(longer.size(), 64u);
  EXPECT_EQ(std::string(field.begin(), field.begin() + 63), longer.substr(0, 63));
  EXPECT_EQ(field[63], '\0');

  // Far longer: still the first 63 characters.
  for (int k = 0; k < 6; ++k) freeMegabytes(roots[k], 4000000000u);
  callback(kMouseMove);
  std::string huge;
  for (int k = 0; k < 6; ++k) huge += std::string(1, static_cast<char>('c' + k)) + ":4000000000MB ";
  EXPECT_EQ(std::string(field.begin(), field.begin() + 63), huge.substr(0, 63));
  EXPECT_EQ(field[63], '\0');
  EXPECT_EQ(tip(), huge.substr(0, 63));
}

TEST_F(TrayTest, RecordCarriesTheTrayWindowAndItsIcon) {
  startWith({"c:\\", "", "", "", "", ""});
  WindowHandle tbarw = fake.desktop.handleOf("tbarw");
  const TrayRecord& r = fake.shell.lastRecord;
  EXPECT_EQ(r.cbSize, 88u);
  EXPECT_EQ(r.hWnd, tbarw);
  EXPECT_EQ(r.uID, 1u);
  EXPECT_EQ(r.uFlags, 7u);
  EXPECT_EQ(r.uCallbackMessage, 0x200u);
  EXPECT_EQ(r.hIcon, fake.desktop.iconHandle(tbarw));
  EXPECT_NE(r.hIcon, fake.desktop.iconHandle(fake.desktop.handleOf("smallwindow")));

  // The handles are read anew on each call: a tray window built again is the one the shell hears of.
  enter([&] { app.tbarw.unload(); });
  enter([&] { app.tray.traysync(); });
  WindowHandle again = fake.desktop.handleOf("tbarw");
  ASSERT_NE(again, tbarw);
  EXPECT_EQ(fake.shell.lastRecord.hWnd, again);
  EXPECT_EQ(fake.shell.lastRecord.hIcon, fake.desktop.iconHandle(again));
}

// ---- add, modify, delete

TEST_F(TrayTest, AddedOnceThenModifiedThenDeletedAtQuit) {
  startWith({"c:\\", "", "", "", "", ""});
  EXPECT_EQ(fake.shell.commands, (std::vector<TrayCommand>{TrayCommand::Add}));
  EXPECT_TRUE(app.settings.trayadded);
  for (unsigned m : {kMouseMove, kMouseMove, 0x202u}) callback(m);
  EXPECT_EQ(fake.shell.commands, (std::vector<TrayCommand>{TrayCommand::Add, TrayCommand::Modify, TrayCommand::Modify,
                                                           TrayCommand::Modify}));
  EXPECT_EQ(fake.shell.iconsAdded, 1);

  WindowHandle tbarw = fake.desktop.handleOf("tbarw");
  std::size_t at = mark();
  chooseFromTrayMenu(TrayWindow::quitmenu);
  EXPECT_EQ(eventsSince(at), (Log{"notify modify c:1856MB", "popup tsmenu on tbarw", "write " + kConfig,
                                  "destroy smallwindow", "notify delete c:1856MB", "destroy tbarw", "end 0"}));
  EXPECT_EQ(fake.shell.commands.back(), TrayCommand::Delete);
  EXPECT_EQ(fake.shell.lastRecord.hWnd, tbarw);  // the icon that was added
  EXPECT_EQ(fake.shell.lastRecord.uID, 1u);
  EXPECT_FALSE(fake.shell.iconPresent);
  EXPECT_FALSE(app.settings.trayadded);
  EXPECT_TRUE(fake.ended());
}

TEST_F(TrayTest, AfterRemovalTheNextSyncAddsAgain) {
  startWith({"c:\\", "", "", "", "", ""});
  enter([&] { app.tray.trayremove(); });
  EXPECT_FALSE(app.settings.trayadded);
  callback(kMouseMove);
  EXPECT_EQ(fake.shell.commands, (std::vector<TrayCommand>{TrayCommand::Add, TrayCommand::Delete, TrayCommand::Add}));
  EXPECT_TRUE(fake.shell.iconPresent);
  EXPECT_TRUE(app.settings.trayadded);
}

TEST_F(TrayTest, NewTaskbarGetsTheIconBackOnce) {
  startWith({"c:\\", "d:\\", "", "", "", ""});
  fake.shell.iconPresent = false;  // the shell restarted and knows no icons
  enter([&] { fake.desktop.sink("tbarw").taskbarCreated(); });
  EXPECT_EQ(fake.shell.commands.back(), TrayCommand::Add);
  EXPECT_TRUE(fake.shell.iconPresent);
  EXPECT_EQ(fake.shell.iconsAdded, 2);
  EXPECT_EQ(tip(), "c:1856MB d:532MB");
  EXPECT_EQ(fake.shell.lastRecord.hWnd, fake.desktop.handleOf("tbarw"));
  // One icon, not two: the next callbacks modify it.
  callback(kMouseMove);
  callback(kMouseMove);
  EXPECT_EQ(fake.shell.commands,
            (std::vector<TrayCommand>{TrayCommand::Add, TrayCommand::Add, TrayCommand::Modify, TrayCommand::Modify}));
  EXPECT_EQ(fake.shell.iconsAdded, 2);
}

TEST_F(TrayTest, SlotClearedWhileRunningLeavesTipAndMenuAtTheNextCallback) {
  startWith({"c:\\", "d:\\", "", "", "", ""});
  EXPECT_EQ(tsEntry("m1").caption, "c: 1856.25 MB");
  app.settings.drives[0] = "";
  EXPECT_EQ(tip(), "c:1856MB d:532MB");  // nothing changes before a callback
  callback(kMouseMove);
  EXPECT_EQ(tip(), "d:532MB");
  EXPECT_FALSE(tsEntry("m1").visible);
  EXPECT_EQ(tsEntry("m1").caption, "c: 1856.25 MB");  // hidden, its old caption kept
  EXPECT_TRUE(tsEntry("m2").visible);

  whenMenu(0);
  callback(kRightDown);
  EXPECT_EQ(visibleCaptions(fake.desktop.menusShown.back()),
            (Log{"d: 532.00 MB", "-", "&Show Kestrovan '99", "&Options", "&About", "-", "&Help", "&Quit"}));
}

// ---- the callback

TEST_F(TrayTest, EveryMouseMessageRefreshesFirstAndOnlyTwoActMore) {
  startWith({"c:\\", "", "", "", "", ""});
  // With the drive window away, so that nothing but a left press may bring it.
  enter([&] { app.hideall(); });
  const unsigned quiet[] = {0x200, 0x202, 0x203, 0x205, 0x206, 0x207, 0x208, 0x209};
  unsigned megabytes = 10;
  for (unsigned m : quiet) {
    freeMegabytes("c:\\", ++megabytes);
    std::size_t at = mark();
    callback(m);
    std::string expectedTip = "c:" + std::to_string(megabytes) + "MB";
    EXPECT_EQ(eventsSince(at), Log{"notify modify " + expectedTip}) << "message " << m;
    EXPECT_EQ(tsEntry("m1").caption, "c: " + std::to_string(megabytes) + ".00 MB") << "message " << m;
  }
  EXPECT_FALSE(fake.desktop.exists("smallwindow"));
  EXPECT_TRUE(fake.desktop.menusShown.empty());

  // A left press brings the drive window; with it up, a left press only refreshes.
  std::size_t at = mark();
  callback(kLeftDown);
  EXPECT_EQ(eventsSince(at),
            (Log{"notify modify c:18MB", "create smallwindow", "topmost smallwindow on", "show smallwindow"}));
  at = mark();
  callback(kLeftDown);
  EXPECT_EQ(eventsSince(at), Log{"notify modify c:18MB"});

  // A right press: the refresh, then the tray menu with the entries just built.
  freeMegabytes("c:\\", 77);
  std::vector<std::string> inMenu;
  fake.desktop.onMenu.push_back([&](const Menu& menu) {
    inMenu = visibleCaptions(menu);
    return 0;
  });
  at = mark();
  callback(kRightDown);
  EXPECT_EQ(eventsSince(at), (Log{"notify modify c:77MB", "popup tsmenu on tbarw"}));
  ASSERT_FALSE(inMenu.empty());
  EXPECT_EQ(inMenu[0], "c: 77.00 MB");
  EXPECT_FALSE(fake.ended());
}

TEST_F(TrayTest, LeftPressShowsTheDriveWindowOnlyWhenItIsNotVisible) {
  startWith({"c:\\", "", "", "", "", ""}, 300, 400);
  enter([&] { app.hideall(); });
  // The file changes while the window is away; showing it loads it from the file again.
  writeConfig(configWith({"", "z:\\", "", "", "", ""}, 1200, 600));
  std::size_t at = mark();
  callback(kLeftDown);
  EXPECT_EQ(eventsSince(at),
            (Log{"notify modify c:1856MB", "create smallwindow", "topmost smallwindow on", "show smallwindow"}));
  EXPECT_TRUE(drive().visible);
  EXPECT_EQ(drive().bounds.left, 1200);
  EXPECT_EQ(drive().bounds.top, 600);
  EXPECT_EQ(drive().controls.at(103).text, "z: 12.00 MB");
  EXPECT_TRUE(app.settings.smlshown);

  // Double click: the first press acted, the rest does nothing more.
  at = mark();
  callback(0x202);
  callback(0x203);
  callback(kLeftDown);
  callback(0x202);
  EXPECT_EQ(eventsSince(at),
            (Log{"notify modify z:12MB", "notify modify z:12MB", "notify modify z:12MB", "notify modify z:12MB"}));
}

TEST_F(TrayTest, LeftPressShowsADriveWindowLoadedHidden) {
  writeConfig(configWith({"c:\\", "", "", "", "", ""}, 300, 400));
  start("m");
  ASSERT_FALSE(drive().visible);
  std::size_t at = mark();
  callback(kLeftDown);
  EXPECT_EQ(eventsSince(at), (Log{"notify modify c:1856MB", "show smallwindow"}));
  EXPECT_TRUE(drive().visible);
}

// ---- the tray menu

TEST_F(TrayTest, ShowEntryShowsTheDriveWindowWhenItIsNotVisible) {
  startWith({"c:\\", "", "", "", "", ""}, 300, 400);
  std::size_t at = mark();
  chooseFromTrayMenu(TrayWindow::showmenu);
  EXPECT_EQ(eventsSince(at), (Log{"notify modify c:1856MB", "popup tsmenu on tbarw"}));

  enter([&] { app.hideall(); });
  at = mark();
  chooseFromTrayMenu(TrayWindow::showmenu);
  EXPECT_EQ(eventsSince(at), (Log{"notify modify c:1856MB", "popup tsmenu on tbarw", "create smallwindow",
                                  "topmost smallwindow on", "show smallwindow"}));
  EXPECT_EQ(drive().bounds.left, 300);
  EXPECT_EQ(drive().bounds.top, 400);
}

TEST_F(TrayTest, OptionsAndAboutFromTheTrayMenuOpenModeless) {
  startWith({"c:\\", "", "", "", "", ""});
  std::size_t at = mark();
  chooseFromTrayMenu(TrayWindow::optionmenu);
  EXPECT_EQ(eventsSince(at), (Log{"notify modify c:1856MB", "popup tsmenu on tbarw", "create optionswindow",
                                  "topmost smallwindow off", "show optionswindow"}));
  EXPECT_EQ(fake.desktop.modalDepth, 0);
  EXPECT_TRUE(fake.desktop.window("optionswindow").visible);
  EXPECT_TRUE(drive().enabled);  // both stay usable

  at = mark();
  chooseFromTrayMenu(TrayWindow::aboutmenu);
  EXPECT_EQ(eventsSince(at), (Log{"notify modify c:1856MB", "popup tsmenu on tbarw", "create aboutwindow",
                                  "topmost smallwindow off", "show aboutwindow"}));
  EXPECT_TRUE(fake.desktop.window("aboutwindow").visible);
  EXPECT_TRUE(fake.desktop.window("optionswindow").visible);
  EXPECT_TRUE(drive().enabled);
  EXPECT_FALSE(fake.ended());
}

TEST_F(TrayTest, HelpEntriesAskTheTrayWindowsComponentForTheirTopics) {
  startWith({"c:\\", "", "", "", "", ""});
  chooseFromTrayMenu(TrayWindow::helpmen1);
  ASSERT_EQ(fake.help.requests.size(), 1u);
  EXPECT_EQ(fake.help.requests[0].file, kHelp);
  EXPECT_EQ(fake.help.requests[0].command, 1u);
  EXPECT_EQ(fake.help.requests[0].topic, 400u);

  chooseFromDriveMenu(TrayWindow::helpmen2);
  ASSERT_EQ(fake.help.requests.size(), 2u);
  EXPECT_EQ(fake.help.requests[1].file, kHelp);
  EXPECT_EQ(fake.help.requests[1].command, 1u);
  EXPECT_EQ(fake.help.requests[1].topic, 100u);
  EXPECT_TRUE(drive().visible);  // help leaves the drive window as it was
  EXPECT_FALSE(fake.ended());
}

// ---- the drive window's popup menu

TEST_F(TrayTest, DriveMenuShowsItsEntriesOnTheDriveWindow) {
  startWith({"c:\\", "", "", "", "", ""});
  std::size_t at = mark();
  chooseFromDriveMenu(0);
  EXPECT_EQ(eventsSince(at), Log{"popup smallpopup on smallwindow"});
  ASSERT_EQ(fake.desktop.menusShown.size(), 1u);
  EXPECT_EQ(visibleCaptions(fake.desktop.menusShown[0]), (Log{"&Hide", "&Options", "&About", "-", "&Help", "&Quit"}));
  EXPECT_TRUE(drive().visible);
}

TEST_F(TrayTest, OptionsAndAboutFromTheDriveMenuAreModalOverTheDriveWindow) {
  startWith({"c:\\", "", "", "", "", ""});
  for (const char* name : {"optionswindow", "aboutwindow"}) {
    bool seen = false;
    whenModal([&](WindowHandle) {
      seen = true;
      EXPECT_FALSE(drive().enabled) << name;
      EXPECT_TRUE(app.smallwindow.press().gflag) << name;  // the release is still being handled
      EXPECT_FALSE(drive().topmost) << name;
    });
    std::size_t at = mark();
    chooseFromDriveMenu(std::string(name) == "optionswindow" ? TrayWindow::optmenu : TrayWindow::aboutmen);
    EXPECT_TRUE(seen) << name;
    Log since = eventsSince(at);
    ASSERT_GE(since.size(), 4u) << name;
    EXPECT_EQ(since[0], "popup smallpopup on smallwindow");
    EXPECT_EQ(since[1], "create " + std::string(name));
    EXPECT_EQ(since[2], "topmost smallwindow off");
    EXPECT_EQ(since[3], "modal " + std::string(name) + " owner smallwindow");
    // Closed by its close box: the handler resumed and the drive window is back on top.
    EXPECT_FALSE(fake.desktop.exists(name)) << name;
    EXPECT_EQ(fake.desktop.modalDepth, 0);
    EXPECT_TRUE(drive().enabled) << name;
    EXPECT_TRUE(drive().topmost) << name;
    EXPECT_FALSE(app.smallwindow.press().gflag) << name;
  }
  EXPECT_FALSE(fake.ended());
}

TEST_F(TrayTest, DriveMenuOptionsWhileOpenModelessBringsItToTheFront) {
  startWith({"c:\\", "", "", "", "", ""});
  chooseFromTrayMenu(TrayWindow::optionmenu);
  std::size_t at = mark();
  chooseFromDriveMenu(TrayWindow::optmenu);
  EXPECT_EQ(eventsSince(at), (Log{"popup smallpopup on smallwindow", "front optionswindow"}));
  EXPECT_EQ(fake.desktop.modalDepth, 0);
  EXPECT_FALSE(fake.ended());
  EXPECT_TRUE(fake.desktop.messages.empty());
}

TEST_F(TrayTest, HideFromTheDriveMenuIsHideall) {
  startWith({"c:\\", "", "", "", "", ""}, 300, 400);
  chooseFromTrayMenu(TrayWindow::aboutmenu);
  enter([&] { app.smallwindow.moveTo(600, 700); });
  std::size_t at = mark();
  chooseFromDriveMenu(TrayWindow::hidemen);
  EXPECT_EQ(eventsSince(at),
            (Log{"popup smallpopup on smallwindow", "write " + kConfig, "destroy aboutwindow", "destroy smallwindow"}));
  EXPECT_EQ(config(), configWith({"c:\\", "", "", "", "", ""}, 600, 700));
  EXPECT_FALSE(app.settings.smlshown);
  EXPECT_FALSE(fake.desktop.exists("smallwindow"));  // the rest of the release did not bring it back
  EXPECT_TRUE(fake.shell.iconPresent);
  EXPECT_FALSE(fake.ended());
}

TEST_F(TrayTest, QuitFromTheDriveMenuIsQuitall) {
  startWith({"c:\\", "", "", "", "", ""}, 300, 400);
  enter([&] { app.smallwindow.moveTo(600, 700); });
  std::size_t at = mark();
  chooseFromDriveMenu(TrayWindow::quitmen);
  EXPECT_EQ(eventsSince(at), (Log{"popup smallpopup on smallwindow", "write " + kConfig, "destroy smallwindow",
                                  "notify delete c:1856MB", "destroy tbarw", "end 0"}));
  EXPECT_EQ(config(), configWith({"c:\\", "", "", "", "", ""}, 600, 700));
  EXPECT_TRUE(fake.ended());
  EXPECT_EQ(fake.desktop.windowCount(), 0);
}

}  // namespace
}  // namespace kv
