// The Options and About windows: the boxes' state table, committing and dropping the edits,
// the drive window's place in the topmost order around them, and the maker's web page.
#include "app_fixture.h"

namespace kv {
namespace {

const Slots kStart{"c:\\", "", "", "z:\\", "", ""};

class WindowsTest : public AppTest {
 protected:
  void SetUp() override { start(fileOf(kStart)); }
  // The boxes as the user sees them (X checked or _ not, with the caption) and the picker.
  std::string state() {
    std::string out;
    for (int n = 0; n < kSlots; ++n) {
      const auto& c = win("optionswindow").controls.at(OptionsWindow::FirstBox + n);
      out += std::string(c.checked ? "X" : "_") + c.text + " ";
    }
    return out + (win("optionswindow").controls.at(OptionsWindow::DrivePicker).visible ? "| picking" : "| idle");
  }
};

TEST_F(WindowsTest, TheBoxesStateTable) {
  tray(kRightPress, "&Options");
  EXPECT_EQ(state(), "Xc:\\ _ _ Xz:\\ _ _ | idle");
  EXPECT_EQ(win("optionswindow").focus, OptionsWindow::Banner) << "a key pressed as Options opens would press a button";
  const int listQueries = fake.disks.driveListQueries;
  const std::pair<std::function<void()>, const char*> rows[] = {
      {[&] { box(3); }, "Xc:\\ _ X Xz:\\ _ _ | picking"},
      {[&] { optionsClick(OptionsWindow::AcceptDrive); },
       "Xc:\\ _ Xd:\\ Xz:\\ _ _ | idle"},  // the list starts at the program's drive
      {[&] { pick(2, 1); }, "Xc:\\ Xd:\\ Xd:\\ Xz:\\ _ _ | idle"},
      {[&] { box(1); }, "_ Xd:\\ Xd:\\ Xz:\\ _ _ | idle"},
      {[&] { box(5); }, "_ Xd:\\ Xd:\\ Xz:\\ X _ | picking"},
      {[&] { box(6); }, "_ Xd:\\ Xd:\\ Xz:\\ _ X | picking"},  // the pick moves
      {[&] { box(6); }, "_ Xd:\\ Xd:\\ Xz:\\ _ _ | idle"},
      {[&] {
         box(5);
         box(4);
       },
       "_ Xd:\\ Xd:\\ _ _ _ | idle"},  // unchecking one drops the waiting one
      {[&] {                           // the user goes to the drive window and back: the edits are dropped
         enter([&] { fake.desktop.activate(fake.desktop.handleOf("smallwindow")); });
         box(5);
       },
       "Xc:\\ _ _ Xz:\\ X _ | picking"},
      {[&] {
         box(1);
         box(1);
       },
       "X _ _ Xz:\\ _ _ | picking"},
      {[&] { box(2); }, "_ X _ Xz:\\ _ _ | picking"},  // the first box's pick moves too
  };
  for (const auto& [act, after] : rows) {
    act();
    EXPECT_EQ(state(), after);
  }
  EXPECT_EQ(fake.files.writes, 0);
  EXPECT_EQ(fake.disks.driveListQueries, listQueries);  // the list is filled at load only
}

// A drive that takes seconds to say its label (a share whose server has gone) holds nothing up, and
// a drive that comes or goes is in the list or out of it at once; the user's entry stays theirs.
TEST_F(WindowsTest, OptionsListsTheLettersAtOnceEachLabelAsItComesAndTheDrivesThatComeOrGo) {
  fake.disks.labelsHeld = true;
  tray(kRightPress, "&Options");
  ASSERT_TRUE(shown("optionswindow"));
  const fake::FakeControl& list = win("optionswindow").controls.at(OptionsWindow::DrivePicker);
  EXPECT_EQ(list.items, (std::vector<std::string>{"c:", "d:", "z:"}));
  box(3);
  win("optionswindow").controls.at(OptionsWindow::DrivePicker).current = 2;  // the user goes to z:
  const auto drives = [&](std::vector<std::string> there) { fake.changeDrives(std::move(there)); };
  const std::pair<std::function<void()>, std::vector<std::string>> rows[] = {
      {[&] { fake.disks.labelsHeld = false, fake.disks.releaseLabels(); }, {"c: [system]", "d: [data]", "z:"}},
      {[&] {
         drives({"c:", "d:", "e:", "z:"});
       },
       {"c: [system]", "d: [data]", "e:", "z:"}},  // a stick plugged in
      {[&] {
         drives({"c:", "e:", "z:"});
       },
       {"c: [system]", "e:", "z:"}},  // d: pulled out
  };
  for (const auto& [change, shown] : rows) {
    change();
    fake.idle();
    EXPECT_EQ(list.items, shown);
    EXPECT_EQ(fake.desktop.currentItem(fake.desktop.handleOf("optionswindow"), OptionsWindow::DrivePicker), "z:");
  }
  optionsClick(OptionsWindow::AcceptDrive);
  EXPECT_EQ(state(), "Xc:\\ _ Xz:\\ Xz:\\ _ _ | idle");
}

// Run from a share, the program has no drive of its own: the list starts on the first drive.
TEST_F(AppTest, RunFromAShareTheDriveListStartsOnTheFirstDrive) {
  fake.process.folder = "\\\\server\\tools";
  fake.files.folders.insert(fake.process.folder);
  std::string accepted;
  whenModal([&] {
    box(1);
    optionsClick(OptionsWindow::AcceptDrive);
    accepted = win("optionswindow").controls.at(OptionsWindow::FirstBox).text;
  });
  start(std::nullopt);
  EXPECT_EQ(accepted, "c:\\");
}

TEST_F(WindowsTest, OkayCommitsCancelDropsAndEitherPutsTheDriveWindowBackOnTop) {
  const Slots edited{"", "", "", "z:\\", "", "d:\\"};
  const std::pair<std::function<void()>, Slots> rows[] = {
      {[&] { optionsClick(OptionsWindow::Okay); }, edited},
      {[&] { enter([&] { options().menuChosen(OptionsWindow::Accept); }); }, edited},
      {[&] { optionsClick(OptionsWindow::Cancel); }, kStart},
      {[&] { enter([&] { options().menuChosen(OptionsWindow::Discard); }); }, kStart},
      {[&] { enter([&] { options().closeRequested(); }); }, kStart},
  };
  for (const auto& [close, saved] : rows) {
    tray(kRightPress, "&Options");
    EXPECT_FALSE(win("smallwindow").topmost);
    box(1);
    pick(6, 1);
    close();
    EXPECT_FALSE(exists("optionswindow"));
    EXPECT_EQ(file(), fileOf(saved));
    EXPECT_TRUE(win("smallwindow").topmost);
    commit(kStart);
  }
}

TEST_F(WindowsTest, AnotherWindowAskedForWhileOptionsIsModalBringsOptionsForward) {
  whenModal([&] {
    tray(kRightPress, "&About");
    tray(kRightPress, "&Options");
    EXPECT_FALSE(shown("aboutwindow"));
    EXPECT_EQ(fake.desktop.modalDepth, 1);
  });
  popup("&Options");
  EXPECT_FALSE(fake.ended());
}

// Asked for again from the tray while it is open behind the drive window, the window comes forward.
TEST_F(WindowsTest, AWindowAskedForAgainComesForward) {
  for (const auto& [entry, window] : {std::pair{"&About", "aboutwindow"}, {"&Options", "optionswindow"}}) {
    tray(kRightPress, entry);
    enter([&] { fake.desktop.activate(fake.desktop.handleOf("smallwindow")); });
    tray(kRightPress, entry);
    EXPECT_EQ(fake.desktop.active(), fake.desktop.handleOf(window)) << entry;
  }
}

TEST_F(AppTest, AboutShowsTheVersionOfTheVersionBlock) {
  fake.process.versionBlock = VersionNumbers{12, 30, 7};
  start(fileOf(kStart));
  tray(kRightPress, "&About");
  const std::string text = win("aboutwindow").controls.at(AboutWindow::Description).text;
  EXPECT_EQ(text.substr(0, text.find('\r')), "Kestrovan '99, Version: 12.30");
}

TEST_F(WindowsTest, AboutClosesOnAnyReleaseButOnTheAddressWhichOpensThePage) {
  for (int id : {0, +AboutWindow::Banner, +AboutWindow::Description, +AboutWindow::CloseHint}) {
    tray(kRightPress, "&About");
    EXPECT_FALSE(win("smallwindow").topmost);
    enter([&] { fake.desktop.sink("aboutwindow").released(id, kRight); });
    EXPECT_FALSE(exists("aboutwindow")) << id;
    EXPECT_TRUE(win("smallwindow").topmost) << id;
  }
  std::string lookedUp;
  fake.shell.duringLookup = [&](const std::string& page) { lookedUp = fake.files.entries.at(page).bytes; };
  for (int found : {42, 0}) {
    fake.shell.findResult = found;
    whenModal([&] {  // then closed by its close box
      enter([&] { fake.desktop.sink("aboutwindow").released(AboutWindow::WebAddress, kLeft); });
      EXPECT_TRUE(shown("aboutwindow"));
    });
    popup("&About");
  }
  EXPECT_EQ(lookedUp, "\" \"\r\n");
  EXPECT_EQ(fake.shell.started, std::vector<std::string>{"C:\\Browser\\browse.exe http://kestrovan.example/"});
  EXPECT_EQ(fake.desktop.messages, std::vector<std::string>{"Error: No web browser found."});
  EXPECT_EQ(fake.files.entries.size(), 1u);  // the settings file only: no page left behind
}

}  // namespace
}  // namespace kv
