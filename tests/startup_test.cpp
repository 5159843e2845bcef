// Start-up and shutdown: the order of what the program asks of the platform.
#include "app_fixture.h"

namespace kv {
namespace {

using Log = std::vector<std::string>;
const std::string kHelp = kFolder + "\\kestrovan99.hlp";

TEST_F(AppTest, NormalStartInOrder) {
  writeConfig(configWith({"c:\\", "d:\\", "", "", "", ""}, 1500, 900));
  start();
  EXPECT_EQ(events(), (Log{
                          "create optionswindow",     // its help component is set up
                          "create smallwindow",       // its handle, for leaving the top
                          "topmost smallwindow on",   // end of the drive window's load
                          "topmost smallwindow off",  // the options window's load
                          "create tbarw",
                          "notify add c:1856MB d:532MB",
                          "show smallwindow",
                          "destroy optionswindow",  // unseen: unloaded again
                          "topmost smallwindow on",
                      }));
  EXPECT_EQ(app.settings.version, "1.4");
  EXPECT_EQ(app.settings.helppath, kHelp);
  EXPECT_TRUE(app.settings.smlshown);
  EXPECT_TRUE(app.settings.trayadded);
  EXPECT_TRUE(drive().visible);
  EXPECT_TRUE(drive().topmost);
  EXPECT_EQ(drive().bounds.left, 1500);
  EXPECT_EQ(drive().bounds.top, 900);
  EXPECT_TRUE(drive().timerRunning);
  EXPECT_EQ(drive().timerInterval, 2000u);
  EXPECT_EQ(drive().controls.at(104).text, "c: 1856.25 MB");
  EXPECT_EQ(drive().controls.at(103).text, "d: 532.00 MB");
  EXPECT_EQ(fake.files.writes, 0);
  EXPECT_FALSE(fake.ended());
  // The file was read twice: by the drive window's load and by start-up itself.
  EXPECT_EQ(fake.logOf({"read"}).size(), 2u);
}

TEST_F(AppTest, FirstRunSetsUpAndWritesTheFreshFile) {
  std::vector<std::string> atModal;
  whenModal([&](WindowHandle) {
    atModal = events();
    EXPECT_EQ(config(), kFirstRunFile);
    EXPECT_FALSE(fake.desktop.window("smallwindow").enabled);  // owned and disabled
    clickOkay();
  });
  start();
  EXPECT_EQ(atModal, (Log{
                         "create optionswindow",
                         "create smallwindow",
                         "show smallwindow",
                         "create tbarw",  // its help component shows the start-up topic
                         "help " + kHelp + " 1 30000",
                         "write " + kConfig,
                         "modal optionswindow owner smallwindow",
                     }));
  EXPECT_EQ(config(), kFirstRunFile);
  EXPECT_FALSE(fake.desktop.exists("optionswindow"));
  EXPECT_TRUE(drive().visible);
  EXPECT_TRUE(drive().topmost);  // start-up ends with the drive window on top
  EXPECT_TRUE(fake.shell.iconPresent);
  EXPECT_FALSE(fake.ended());
}

TEST_F(AppTest, FirstRunChoosingADriveLeavesAWorkingProgram) {
  whenModal([&](WindowHandle) {
    auto& options = fake.desktop.sink("optionswindow");
    options.controlClicked(OptionsWindow::Check1 + 1);                   // box 2
    fake.desktop.selectItem("optionswindow", OptionsWindow::Drive1, 2);  // z:
    options.controlClicked(OptionsWindow::Command3);
    clickOkay();
  });
  start();
  EXPECT_EQ(config(), configWith({"", "z:\\", "", "", "", ""}, 0, 0));
  EXPECT_EQ(app.settings.drives[1], "z:\\");
  EXPECT_EQ(drive().controls.at(103).text, "z: 12.00 MB");
  EXPECT_EQ(fake.shell.lastRecord.szTip.data(), std::string("z:12MB"));
  EXPECT_TRUE(drive().topmost);
}

TEST_F(AppTest, FirstRunCancelStillWritesTheFileAndKeepsRunning) {
  whenModal([&](WindowHandle) { fake.desktop.sink("optionswindow").controlClicked(OptionsWindow::Command2); });
  start();
  EXPECT_EQ(config(), kFirstRunFile);
  EXPECT_FALSE(fake.desktop.exists("optionswindow"));
  EXPECT_TRUE(app.settings.smlshown);
  EXPECT_TRUE(fake.shell.iconPresent);
}

TEST_F(AppTest, SecondInstanceTouchesNothing) {
  fake.process.anotherRunning = true;
  writeConfig(kFirstRunFile);
  start();
  EXPECT_TRUE(fake.ended());
  EXPECT_EQ(fake.desktop.windowCount(), 0);
  EXPECT_EQ(fake.shell.iconsAdded, 0);
  EXPECT_EQ(fake.logOf({"exists", "read", "write"}), Log{});
}

TEST_F(AppTest, StartHiddenSwitchIsAnyLetterM) {
  for (const char* line : {"/min", "-m", "Mini", "xmx", "M", "a b m"}) {
    fake::FakePlatform f;
    f.disks = fake.disks;
    App a{f.platform()};
    f.files.entries[kConfig] = {configWith({"c:\\", "", "", "", "", ""}, 10, 10)};
    f.process.arguments = line;
    f.enter([&] { a.main(); });
    ASSERT_TRUE(f.desktop.exists("smallwindow")) << line;
    EXPECT_FALSE(f.desktop.window("smallwindow").visible) << line;
    EXPECT_TRUE(a.settings.smlshown) << line;
    EXPECT_TRUE(f.shell.iconPresent) << line;
  }
  for (const char* line : {"/x", "/N", "", "-hidden"}) {
    fake::FakePlatform f;
    App a{f.platform()};
    f.files.entries[kConfig] = {configWith({"c:\\", "", "", "", "", ""}, 10, 10)};
    f.process.arguments = line;
    f.enter([&] { a.main(); });
    EXPECT_TRUE(f.desktop.window("smallwindow").visible) << line;
  }
}

TEST_F(AppTest, StartHiddenWithoutFileShowsTheDriveWindowForSetUp) {
  whenModal([&](WindowHandle) { clickOkay(); });
  start("/m");
  EXPECT_TRUE(drive().visible);
}

TEST_F(AppTest, HiddenStartSavesTheLoadedWindowsPosition) {
  writeConfig(configWith({"c:\\", "", "", "", "", ""}, 300, 400));
  start("m");
  enter([&] { app.savecfg(); });
  EXPECT_EQ(config(), configWith({"c:\\", "", "", "", "", ""}, 300, 400));
}

TEST_F(AppTest, HideallSavesThenUnloadsEverythingButTheTray) {
  writeConfig(configWith({"c:\\", "", "", "", "", ""}, 300, 400));
  start();
  enter([&] { app.aboutwindow.show(); });
  enter([&] { app.optionswindow.show(); });
  enter([&] { app.smallwindow.moveTo(600, 700); });
  std::size_t mark = events().size();
  enter([&] { app.hideall(); });
  EXPECT_EQ(eventsSince(mark),
            (Log{"write " + kConfig, "destroy aboutwindow", "destroy smallwindow", "destroy optionswindow"}));
  EXPECT_EQ(config(), configWith({"c:\\", "", "", "", "", ""}, 600, 700));
  EXPECT_FALSE(app.settings.smlshown);
  EXPECT_TRUE(fake.shell.iconPresent);
  EXPECT_EQ(fake.desktop.windowCount(), 1);  // the tray window

  // Quitting afterwards keeps the position the hide saved and does not reload the window.
  mark = events().size();
  enter([&] { app.quitall(); });
  EXPECT_EQ(eventsSince(mark), (Log{"write " + kConfig, "notify delete c:1856MB", "destroy tbarw", "end 0"}));
  EXPECT_EQ(config(), configWith({"c:\\", "", "", "", "", ""}, 600, 700));
  EXPECT_FALSE(fake.shell.iconPresent);
}

TEST_F(AppTest, QuitallFromTheFullProgram) {
  writeConfig(configWith({"c:\\", "", "", "", "", ""}, 300, 400));
  start();
  enter([&] { app.aboutwindow.show(); });
  std::size_t mark = events().size();
  enter([&] { app.quitall(); });
  EXPECT_EQ(eventsSince(mark), (Log{"write " + kConfig, "topmost smallwindow on", "destroy aboutwindow",
                                    "destroy smallwindow", "notify delete c:1856MB", "destroy tbarw", "end 0"}));
  EXPECT_TRUE(fake.ended());
  EXPECT_FALSE(app.settings.trayadded);
}

}  // namespace
}  // namespace kv
