// Start-up and shutdown: a normal start, the start-hidden switch, the first run, a second copy
// and Quit.
#include "app_fixture.h"

namespace kv {
namespace {

TEST_F(AppTest, ANormalStartShowsTheDriveWindowOnTopAndTheIcon) {
  start(fileOf({"c:\\", "d:\\", "", "", "", ""}, 1500, 900));
  EXPECT_TRUE(shown("smallwindow"));
  EXPECT_TRUE(win("smallwindow").topmost);
  EXPECT_EQ(where().left, 1500);
  EXPECT_EQ(where().top, 900);
  EXPECT_EQ(fake.shell.tip(), "c:1856MB d:532MB");
  EXPECT_FALSE(exists("optionswindow"));  // nothing is left loaded unseen
  EXPECT_EQ(fake.files.writes, 0);
  EXPECT_TRUE(fake.desktop.messages.empty());
}

class StartSwitchTest : public AppTest, public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(StartSwitchTest, AnyLetterMStartsWithTheTrayIconOnly) {
  auto [arguments, hidden] = GetParam();
  start(fileOf({"c:\\", "", "", "", "", ""}), arguments);
  EXPECT_EQ(shown("smallwindow"), !hidden);
  EXPECT_TRUE(fake.shell.iconPresent);
  EXPECT_EQ(fake.shell.tip(), "c:1856MB");  // the settings were read either way
}

INSTANTIATE_TEST_SUITE_P(CommandLines, StartSwitchTest,
                         ::testing::Values(std::pair{"/min", true}, std::pair{"M", true}, std::pair{"a b m", true},
                                           std::pair{"", false}, std::pair{"/x", false}, std::pair{"-N", false}));

TEST_F(AppTest, AFirstRunShowsHelpThenWritesTheFileThenOpensOptionsOverTheDriveWindow) {
  std::string fileAtHelp;
  fake.help.during = [&] { fileAtHelp = file(); };
  bool driveWindowWaits = false;
  whenModal([&] {
    driveWindowWaits = shown("smallwindow") && !win("smallwindow").enabled && shown("optionswindow");
    optionsClick(OptionsWindow::Cancel);
  });
  start(std::nullopt);
  EXPECT_EQ(fake.help.requests, std::vector<std::string>{"D:\\Programs\\Kestrovan\\kestrovan99.hlp 1 30000"});
  EXPECT_EQ(fileAtHelp, "(none)");
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
  EXPECT_TRUE(fake.ended());
  EXPECT_TRUE(fake.desktop.created.empty());
  EXPECT_FALSE(fake.shell.iconPresent);
  EXPECT_EQ(file(), "(none)");
}

TEST_F(AppTest, HideAndQuitSaveTheLivePlaceAndCloseEveryWindowQuitAlsoTheIcon) {
  start(fileOf({"c:\\", "", "", "", "", ""}));
  for (const char* choice : {"&Hide", "&Quit"}) {
    tray(kRightPress, "&About");
    tray(kRightPress, "&Options");
    pick(2, 1);                             // an edit that Hide and Quit drop
    win("smallwindow").bounds.left = 2400;  // the user dragged it there
    std::string(choice) == "&Hide" ? popup(choice) : tray(kRightPress, choice);
    EXPECT_EQ(file(), fileOf({"c:\\", "", "", "", "", ""}, 2400, 900));
    EXPECT_FALSE(exists("smallwindow") || exists("aboutwindow") || exists("optionswindow"));
    EXPECT_EQ(exists("tbarw") && fake.shell.iconPresent, !fake.ended()) << choice;
    if (!fake.ended()) tray(kLeftPress);
  }
  EXPECT_EQ(fake.process.endedWith, 0);
  EXPECT_EQ(fake.shell.refused, 0);
}

// The user logs off, after a drag or a Hide, where the file can or cannot be written: the
// settings are saved as Quit saves them, once, and a save that fails says nothing.
class SessionEndTest : public AppTest, public ::testing::WithParamInterface<std::tuple<bool, const char*>> {};

TEST_P(SessionEndTest, TheEndOfTheSessionSavesAsQuitDoesWithoutABox) {
  const auto [hiddenFirst, writeFailure] = GetParam();
  start(fileOf({"c:\\", "", "", "", "", ""}, 1500, 900));
  press(kLeft);
  drag(900, 0);
  release(kLeft);
  if (hiddenFirst) popup("&Hide");
  fake.files.entries.erase(kConfig);
  fake.files.writeFailure = writeFailure;
  const int saves = fake.files.writes;
  fake.endSession();
  EXPECT_TRUE(fake.ended() && fake.desktop.messages.empty());
  EXPECT_EQ(file(), *writeFailure ? "(none)" : fileOf({"c:\\", "", "", "", "", ""}, 2400, 900));
  EXPECT_EQ(fake.files.writes + fake.files.failedWrites - saves, 1);
  EXPECT_EQ(exists("smallwindow"), !hiddenFirst);
}
INSTANTIATE_TEST_SUITE_P(Session, SessionEndTest,
                         ::testing::Values(std::tuple{false, ""}, std::tuple{true, ""},
                                           std::tuple{false, "Access is denied."}));

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
