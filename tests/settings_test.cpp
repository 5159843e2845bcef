// Reading and writing the settings file, and the set-up that a missing or bad file leads to.
#include "app_fixture.h"

namespace kv {
namespace {

const std::array<std::string, kSlots> kTwo{"c:\\", "", "", "", "", "z:\\"};

class SettingsTest : public AppTest {
 protected:
  // Starts with the file as given; the set-up, if it comes, is answered with "Okay".
  int startCountingSetUps(const std::string& file) {
    writeConfig(file);
    int setUps = 0;
    whenModal([&](WindowHandle) {
      ++setUps;
      clickOkay();
    });
    start();
    fake.desktop.onModal.clear();
    return setUps;
  }
};

TEST_F(SettingsTest, BadFilesLeadToTheSetUpKeepingWhatWasRead) {
  // Six lines only: the slots are taken, the position fails, the set-up rewrites the file.
  EXPECT_EQ(startCountingSetUps("\"c:\\\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"d:\\\"\r\n\"\"\r\n"), 1);
  EXPECT_EQ(config(), configWith({"c:\\", "", "", "", "d:\\", ""}, 0, 0));
  EXPECT_EQ(app.settings.drives[4], "d:\\");
}

TEST_F(SettingsTest, PositionBeyondSixteenBitsIsAReadError) {
  EXPECT_EQ(startCountingSetUps(configWith(kTwo, 40000, 100)), 1);
  EXPECT_EQ(config(), configWith(kTwo, 0, 0));
  EXPECT_EQ(drive().bounds.left, 0);
  EXPECT_EQ(drive().bounds.top, 0);
}

TEST_F(SettingsTest, NonNumericPositionIsAReadError) {
  std::string file = configWith(kTwo, 0, 0);
  file.replace(file.rfind("0\r\n"), 1, "north");
  EXPECT_EQ(startCountingSetUps(file), 1);
}

TEST_F(SettingsTest, HiddenSystemAndFolderEntriesAreNotFound) {
  for (auto mark :
       {&fake::FakeFiles::Entry::hidden, &fake::FakeFiles::Entry::system, &fake::FakeFiles::Entry::folder}) {
    fake::FakePlatform f;
    App a{f.platform()};
    fake::FakeFiles::Entry entry{configWith(kTwo, 0, 0)};
    entry.*mark = true;
    f.files.entries[kConfig] = entry;
    int setUps = 0;
    f.desktop.onModal.push_back([&](WindowHandle) {
      ++setUps;
      f.desktop.sink("optionswindow").controlClicked(OptionsWindow::Command2);
    });
    f.enter([&] { a.main(); });
    EXPECT_EQ(setUps, 1);
    EXPECT_EQ(a.settings.drives[0], "");  // nothing was read
    EXPECT_FALSE(f.ended());
  }
}

TEST_F(SettingsTest, UnreadableFileLeadsToTheSetUp) {
  fake.files.entries[kConfig] = {configWith(kTwo, 0, 0), false, false, false, true};
  whenModal([&](WindowHandle) { clickOkay(); });
  start();
  EXPECT_EQ(fake.files.writes, 2);  // the set-up's file, then "Okay"
}

TEST_F(SettingsTest, UnquotedSlotIsRewrittenByItsFirstMeasurement) {
  writeConfig("d:\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n10\r\n20\r\n");
  start();
  EXPECT_EQ(app.settings.drives[0], "d:\\");
  enter([&] { app.savecfg(); });
  EXPECT_EQ(config().substr(0, 7), "\"d:\\\"\r\n");
}

TEST_F(SettingsTest, ExeInADriveRootGivesTwoBackslashes) {
  fake.process.folder = "C:\\";
  fake.files.entries["C:\\\\kv99.cfg"] = {configWith(kTwo, 0, 0)};
  start();
  EXPECT_EQ(app.settings.helppath, "C:\\\\kestrovan99.hlp");
  EXPECT_EQ(app.settings.drives[5], "z:\\");
}

TEST_F(SettingsTest, SaveFailureIsReportedAndNothingIsLost) {
  writeConfig(configWith(kTwo, 30, 40));
  start();
  fake.files.writeFailure = "Access is denied.";
  enter([&] { app.optionswindow.show(); });
  enter([&] { fake.desktop.sink("optionswindow").controlClicked(OptionsWindow::Check1 + 1); });
  enter([&] { fake.desktop.sink("optionswindow").controlClicked(OptionsWindow::Command3); });  // c:
  enter([&] { clickOkay(); });
  ASSERT_EQ(fake.desktop.messages.size(), 1u);
  EXPECT_NE(fake.desktop.messages[0].first.find(kConfig), std::string::npos);
  EXPECT_NE(fake.desktop.messages[0].first.find("Access is denied."), std::string::npos);
  EXPECT_EQ(fake.desktop.messages[0].second, "Kestrovan '99");
  EXPECT_FALSE(fake.ended());
  EXPECT_EQ(config(), configWith(kTwo, 30, 40));  // the old file stands
  EXPECT_EQ(app.settings.drives[1], "c:\\");      // the new choice is in use
  EXPECT_FALSE(fake.desktop.exists("optionswindow"));
  EXPECT_EQ(fake.desktop.modalDepth, 0);  // no set-up was started by re-reading
  // It can be saved later, once the folder is writable again.
  fake.files.writeFailure.clear();
  enter([&] { app.hideall(); });
  EXPECT_EQ(config().substr(0, 14), "\"c:\\\"\r\n\"c:\\\"\r\n");
}

TEST_F(SettingsTest, ChoiceMadeWhileSavesFailSurvivesTheNextRead) {
  writeConfig(configWith(kTwo, 30, 40));
  start();
  fake.files.writeFailure = "Access is denied.";
  enter([&] { app.optionswindow.show(); });
  enter([&] { fake.desktop.sink("optionswindow").controlClicked(OptionsWindow::Check1 + 1); });
  enter([&] { fake.desktop.sink("optionswindow").controlClicked(OptionsWindow::Command3); });
  enter([&] { clickOkay(); });
  // The drive window is closed and shown again: its load would read the older file.
  enter([&] { app.smallwindow.endsml(); });
  enter([&] { fake.desktop.sink("tbarw").trayMessage(0x201); });
  EXPECT_EQ(app.settings.drives[1], "c:\\");
  EXPECT_EQ(drive().controls.at(103).text, "c: 1856.25 MB");
  fake.files.writeFailure.clear();
  enter([&] { app.quitall(); });
  EXPECT_EQ(config().substr(0, 14), "\"c:\\\"\r\n\"c:\\\"\r\n");
}

TEST_F(SettingsTest, FirstRunInAReadOnlyFolderDoesNotLoop) {
  fake.files.writeFailure = "Access is denied.";
  int setUps = 0;
  for (int i = 0; i < 3; ++i)
    whenModal([&](WindowHandle) {
      ++setUps;
      clickOkay();
    });
  start();
  EXPECT_EQ(setUps, 1);
  EXPECT_FALSE(fake.ended());
  EXPECT_EQ(fake.desktop.messages.size(), 2u);  // the set-up's save and the "Okay" save
  EXPECT_TRUE(fake.shell.iconPresent);
}

TEST_F(SettingsTest, LivePositionIsClampedAndKeptByTheRecord) {
  writeConfig(configWith(kTwo, 100, 100));
  start();
  enter([&] { app.smallwindow.moveTo(50000, -40000); });
  enter([&] { app.savecfg(); });
  EXPECT_EQ(config(), configWith(kTwo, 32767, -32768));
  EXPECT_EQ(app.settings.smlleft, 32767);
  EXPECT_EQ(app.settings.smltop, -32768);
}

TEST_F(SettingsTest, RoundTripThroughTheProgram) {
  std::string file = configWith({"c:\\", "d:\\", "", "z:\\", "", ""}, -150, 7200);
  writeConfig(file);
  start();
  enter([&] { app.hideall(); });
  EXPECT_EQ(config(), file);
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

TEST_F(AppTest, AFailedSavesMessageBoxKeepsTheProgramFromReenteringItself) {
  writeConfig(configWith({"c:\\", "", "", "", "", ""}, 1500, 900));
  start();
  fake.files.writeFailure = "Access is denied.";
  auto& drive = fake.desktop.sink("smallwindow");
  fake.desktop.onMessageBox.push_back([&] {
    // While the box is up: a click on the drive window, a timer tick and Quit from the tray menu.
    enter([&] { drive.mouseDown(MouseButton::Left, 300, 150); });
    enter([&] { drive.mouseUp(MouseButton::Left, 300, 150); });
    enter([&] { drive.timer(); });
    whenMenu(TrayWindow::quitmenu);
    enter([&] { fake.desktop.sink("tbarw").trayMessage(0x204); });
  });
  enter([&] { drive.mouseDown(MouseButton::Left, 300, 150); });
  enter([&] { drive.mouseUp(MouseButton::Left, 300, 150); });
  EXPECT_EQ(fake.desktop.messages.size(), 1u);
  EXPECT_FALSE(fake.desktop.exists("smallwindow"));
  EXPECT_FALSE(fake.ended());
  EXPECT_TRUE(fake.shell.iconPresent);
}

TEST_F(AppTest, ASettingsFileOfAnySizeIsReadOnlyAsFarAsItsValues) {
  writeConfig(configWith({"c:\\", "d:\\", "", "", "", ""}, 1500, 900) + std::string(8 << 20, 'x'));
  start();
  EXPECT_TRUE(fake.help.requests.empty()) << "the set-up ran";
  EXPECT_EQ(app.settings.drives[1], "d:\\");
  EXPECT_LT(fake.files.largestRead, 1u << 20);
}

}  // namespace
}  // namespace kv
