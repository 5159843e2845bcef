// Start-up and shutdown: a normal start, the start-hidden switch, the first run, a second copy,
// Hide, Quit and the end of the Windows session.
#include "app_fixture.h"

namespace kv {
namespace {

class StartSwitchTest : public AppTest, public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(StartSwitchTest, AnyLetterMStartsWithTheTrayIconOnlyOtherwiseTheDriveWindowOnTopWhereTheFileSays) {
  auto [arguments, hidden] = GetParam();
  start(fileOf({"c:\\", "d:\\", "", "", "", ""}, 1500, 900), arguments);
  EXPECT_EQ(shown("smallwindow"), !hidden);
  EXPECT_TRUE(hidden || (win("smallwindow").topmost && where().left == 1500 && where().top == 900));
  EXPECT_TRUE(fake.shell.iconPresent);
  EXPECT_EQ(fake.shell.tip(), "c:1856MB d:532MB");  // the settings were read either way
  EXPECT_FALSE(exists("optionswindow"));            // nothing is left loaded unseen
  EXPECT_EQ(fake.files.writes, 0);
  EXPECT_TRUE(fake.desktop.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(CommandLines, StartSwitchTest,
                         ::testing::Values(std::pair{"/min", true}, std::pair{"M", true}, std::pair{"a b m", true},
                                           std::pair{"", false}, std::pair{"/x", false}, std::pair{"-N", false}));

TEST_F(AppTest, AFirstRunShowsHelpThenWritesTheFileThenOpensOptionsOverTheDriveWindow) {
  std::string fileAtHelp;
  bool iconAtHelp = true;
  fake.help.during = [&] {
    fileAtHelp = file();
    iconAtHelp = fake.shell.iconPresent;
  };
  bool driveWindowWaits = false;
  whenModal([&] {
    driveWindowWaits = shown("smallwindow") && !win("smallwindow").enabled && shown("optionswindow");
    optionsClick(OptionsWindow::Cancel);
  });
  start(std::nullopt);
  EXPECT_EQ(fake.help.requests, std::vector<std::string>{"D:\\Programs\\Kestrovan\\kestrovan99.hlp 1 30000"});
  EXPECT_EQ(fileAtHelp, "(none)");
  EXPECT_FALSE(iconAtHelp) << "the set-up comes before the tray icon";
  EXPECT_TRUE(driveWindowWaits);
  EXPECT_EQ(file(), fileOf({}, 0, 0));
  // Closed during its own load, the Options window stays closed, and start-up ends with the
  // drive window on top.
  EXPECT_EQ(fake.desktop.created["optionswindow"], 1);
  EXPECT_FALSE(exists("optionswindow"));
  EXPECT_TRUE(win("smallwindow").topmost);
  EXPECT_TRUE(fake.shell.iconPresent);
  EXPECT_FALSE(fake.ended());
}

TEST_F(AppTest, ASecondCopyEndsTouchingNothing) {
  fake.process.anotherRunning = true;
  start(std::nullopt);
  EXPECT_EQ(fake.process.endedWith, 0) << "a second copy is no failure";
  EXPECT_TRUE(fake.desktop.created.empty());
  EXPECT_FALSE(fake.shell.iconPresent);
  EXPECT_EQ(file(), "(none)");
}

// Every way the windows go, with About and Options open and the drive window dragged: Hide,
// Quit, the end of the Windows session (after a Hide, or where the file cannot be written). Each
// saves the live place as Quit does, once, and the end of the session says nothing of a failure.
struct Ending {
  std::vector<const char*> steps;  // "&Hide" in the drive window's menu, "&Quit" in the tray's, "logoff"
  const char* writeFailure;
  int saves;  // writes tried
  bool ended, icon, windowsLeft;
  friend void PrintTo(const Ending& row, std::ostream* os) { *os << row.steps.back() << " " << row.writeFailure; }
};
class EndingTest : public AppTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(EndingTest, SavesTheLivePlaceOnce) {
  const Slots one{"c:\\", "", "", "", "", ""};
  start(fileOf(one, 1500, 900));
  tray(kRightPress, "&About");
  tray(kRightPress, "&Options");
  pick(2, 1);  // an edit that none of them commits
  press(kLeft);
  drag(900, 0);
  release(kLeft);
  fake.files.entries.erase(kConfig);
  fake.files.writeFailure = GetParam().writeFailure;
  const int saves = fake.files.writes;
  for (std::string step : GetParam().steps)
    step == "logoff" ? fake.endSession() : step == "&Hide" ? popup(step.c_str()) : tray(kRightPress, step.c_str());
  EXPECT_EQ(file(), *GetParam().writeFailure ? "(none)" : fileOf(one, 2400, 900));
  EXPECT_EQ(fake.files.writes + fake.files.failedWrites - saves, GetParam().saves);
  EXPECT_TRUE(fake.desktop.messages.empty());
  EXPECT_EQ(fake.ended(), GetParam().ended);
  EXPECT_EQ(fake.shell.iconPresent, GetParam().icon);
  for (const char* name : {"smallwindow", "aboutwindow", "optionswindow"})
    EXPECT_EQ(exists(name), GetParam().windowsLeft);
  EXPECT_EQ(exists("tbarw"), GetParam().icon);
  EXPECT_EQ(fake.shell.refused, 0);
}
INSTANTIATE_TEST_SUITE_P(HideQuitLogoff, EndingTest,
                         ::testing::Values(Ending{{"&Hide"}, "", 1, false, true, false},
                                           Ending{{"&Quit"}, "", 1, true, false, false},
                                           Ending{{"logoff"}, "", 1, true, true, true},
                                           Ending{{"&Hide", "logoff"}, "", 2, true, true, false},
                                           Ending{{"logoff"}, "Access is denied.", 1, true, true, true}));

TEST_F(AppTest, OptionsAfterHideWithTheFileGoneRunsTheSetUpAndLeavesNothingLoadedUnseen) {
  start(fileOf({"c:\\", "", "", "", "", ""}));
  popup("&Hide");
  fake.files.entries.erase(kConfig);
  whenModal([&] { optionsClick(OptionsWindow::Okay); });
  tray(kRightPress, "&Options");  // its load asks for the drive window, whose load finds no file
  EXPECT_EQ(fake.help.requests.size(), 1u);
  EXPECT_TRUE(shown("smallwindow"));
  EXPECT_FALSE(exists("optionswindow"));
}

}  // namespace
}  // namespace kv
