// The drive selection window: its boxes, the drive picker, the working copy, how it commits
// and closes, and the set-up of a first run that goes through it.
#include <algorithm>

#include "app_fixture.h"

namespace kv {
namespace {

using Log = std::vector<std::string>;
using Slots = std::array<std::string, kSlots>;

constexpr unsigned kTrayRightDown = 0x204;
// Entries of the fake drive list, by index.
constexpr int kItemC = 0;
constexpr int kItemD = 1;
constexpr int kItemZ = 2;

const Slots kStart{"c:\\", "", "", "z:\\", "", ""};

class OptionsWindowTest : public AppTest {
 protected:
  void TearDown() override {
    EXPECT_FALSE(fake.ended()) << "the program ended"
                               << (fake.desktop.messages.empty() ? "" : ": " + fake.desktop.messages.back().first);
  }

  void startWith(const Slots& drives) {
    writeConfig(configWith(drives, 1500, 900));
    start();
  }
  void openFromTray() {
    whenMenu(TrayWindow::optionmenu);
    enter([&] { fake.desktop.sink("tbarw").trayMessage(kTrayRightDown); });
  }
  // A press and release of one mouse button on the drive window, where it was pressed.
  void clickDriveWindow(MouseButton button) {
    enter([&] { fake.desktop.sink("smallwindow").mouseDown(button, 300, 150); });
    enter([&] { fake.desktop.sink("smallwindow").mouseUp(button, 300, 150); });
  }
  void popupChoice(int entry) {
    whenMenu(entry);
    clickDriveWindow(MouseButton::Right);
  }

  // The user's hand in the window; usable inside a modal window too (no entry of its own).
  WindowEvents& options() { return fake.desktop.sink("optionswindow"); }
  void box(int n) { options().controlClicked(OptionsWindow::Check1 + n - 1); }
  void choose(int item) { fake.desktop.selectItem("optionswindow", OptionsWindow::Drive1, item); }
  void pickInto(int n, int item) {
    box(n);
    choose(item);
    options().controlClicked(OptionsWindow::Command3);
  }

  // The same as separate entries from the platform.
  void clickBox(int n) {
    enter([&] { box(n); });
  }
  void pick(int n, int item) {
    clickBox(n);
    choose(item);
    enter([&] { options().controlClicked(OptionsWindow::Command3); });
  }
  void click(int id) {
    enter([&] { options().controlClicked(id); });
  }
  void menu(int id) {
    enter([&] { options().menuChosen(id); });
  }

  // The window as the user sees it and the working copy, on one line:
  //   boxes (X checked, _ unchecked, followed by the caption) / picker / working slots (- empty)
  std::string state() {
    fake::FakeWindow& w = fake.desktop.window("optionswindow");
    std::string out;
    for (int n = 1; n <= kSlots; ++n) {
      const fake::FakeControl& c = w.controls.at(OptionsWindow::Check1 + n - 1);
      out += (n > 1 ? " " : "") + std::string(c.checked ? "X" : "_") + c.text;
    }
    bool list = w.controls.at(OptionsWindow::Drive1).visible;
    bool accept = w.controls.at(OptionsWindow::Command3).visible;
    int pending = app.optionswindow.pickslot();
    out += " / ";
    if (list != accept)
      out += "drive list and Accept Drive disagree";
    else if (pending == 0 && !list)
      out += "idle";
    else if (pending != 0 && list)
      out += "picking " + std::to_string(pending);
    else
      out += "pickslot " + std::to_string(pending) + (list ? " with" : " without") + " picker";
    out += " /";
    for (const auto& slot : app.optionswindow.optdrives()) out += " " + (slot.empty() ? std::string("-") : slot);
    return out;
  }

  std::size_t mark() const { return fake.log.size(); }
  std::vector<std::string> logSince(std::size_t from, const std::vector<std::string>& prefixes) {
    std::vector<std::string> out;
    for (std::size_t i = from; i < fake.log.size(); ++i)
      for (const auto& p : prefixes)
        if (fake.log[i].compare(0, p.size(), p) == 0) {
          out.push_back(fake.log[i]);
          break;
        }
    return out;
  }
  long count(const std::string& line) { return std::count(fake.log.begin(), fake.log.end(), line); }
};

// ---- Opening: the fill at load -------------------------------------------------------------

TEST_F(OptionsWindowTest, OpensShowingExactlyTheFilledSlots) {
  startWith(kStart);
  // The load alone, before the window is first shown, already fills it.
  enter([&] { app.optionswindow.load(); });
  EXPECT_FALSE(fake.desktop.window("optionswindow").visible);
  EXPECT_EQ(state(), "Xc:\\ _ _ Xz:\\ _ _ / idle / c:\\ - - z:\\ - -");
  openFromTray();
  EXPECT_TRUE(fake.desktop.window("optionswindow").visible);
  EXPECT_EQ(state(), "Xc:\\ _ _ Xz:\\ _ _ / idle / c:\\ - - z:\\ - -");
}

TEST_F(OptionsWindowTest, LoadFillsEveryPatternWithoutOneBoxUncheckingAnother) {
  startWith(kStart);
  const std::vector<std::pair<Slots, std::string>> cases = {
      {{"c:\\", "d:\\", "z:\\", "d:\\", "c:\\", "z:\\"},
       "Xc:\\ Xd:\\ Xz:\\ Xd:\\ Xc:\\ Xz:\\ / idle / c:\\ d:\\ z:\\ d:\\ c:\\ z:\\"},
      {{"", "d:\\", "", "", "z:\\", "c:\\"}, "_ Xd:\\ _ _ Xz:\\ Xc:\\ / idle / - d:\\ - - z:\\ c:\\"},
      {{"", "", "", "", "", ""}, "_ _ _ _ _ _ / idle / - - - - - -"},  // no "c:\" placeholder left
      {{"", "", "", "", "", "q:\\"}, "_ _ _ _ _ Xq:\\ / idle / - - - - - q:\\"},
  };
  for (const auto& [drives, shown] : cases) {
    SCOPED_TRACE(shown);
    app.settings.drives = drives;  // as the last read of the file left them
    enter([&] { app.optionswindow.load(); });
    EXPECT_EQ(state(), shown);
    openFromTray();
    EXPECT_EQ(state(), shown);
    click(OptionsWindow::Command2);
    ASSERT_FALSE(fake.desktop.exists("optionswindow"));
  }
}

// ---- The state table: Idle and Picking N ---------------------------------------------------

TEST_F(OptionsWindowTest, CheckingAnEmptyBoxStartsAPickThatAcceptFillsWithTheChosenDrive) {
  startWith(kStart);
  openFromTray();
  clickBox(3);
  EXPECT_EQ(state(), "Xc:\\ _ X Xz:\\ _ _ / picking 3 / c:\\ - - z:\\ - -");  // no caption yet
  choose(kItemD);
  click(OptionsWindow::Command3);
  EXPECT_EQ(state(), "Xc:\\ _ Xd:\\ Xz:\\ _ _ / idle / c:\\ - d:\\ z:\\ - -");
  EXPECT_EQ(app.settings.drives, kStart);  // only the working copy changed
  EXPECT_EQ(fake.files.writes, 0);
}

TEST_F(OptionsWindowTest, UncheckingAFilledBoxEmptiesOnlyThatSlot) {
  startWith({"c:\\", "d:\\", "z:\\", "", "", "d:\\"});
  openFromTray();
  clickBox(2);
  EXPECT_EQ(state(), "Xc:\\ _ Xz:\\ _ _ Xd:\\ / idle / c:\\ - z:\\ - - d:\\");  // nothing moves up
  clickBox(1);
  EXPECT_EQ(state(), "_ _ Xz:\\ _ _ Xd:\\ / idle / - - z:\\ - - d:\\");
}

TEST_F(OptionsWindowTest, UncheckingTheWaitingBoxEndsThePickWithItsSlotEmpty) {
  startWith(kStart);
  openFromTray();
  clickBox(2);
  EXPECT_EQ(state(), "Xc:\\ X _ Xz:\\ _ _ / picking 2 / c:\\ - - z:\\ - -");
  clickBox(2);
  EXPECT_EQ(state(), "Xc:\\ _ _ Xz:\\ _ _ / idle / c:\\ - - z:\\ - -");
  // A filled box that is unchecked and checked again waits for a drive, with no caption.
  clickBox(4);
  clickBox(4);
  EXPECT_EQ(state(), "Xc:\\ _ _ X _ _ / picking 4 / c:\\ - - - - -");
  clickBox(4);
  EXPECT_EQ(state(), "Xc:\\ _ _ _ _ _ / idle / c:\\ - - - - -");
}

TEST_F(OptionsWindowTest, CheckingAnotherBoxWhileOneWaitsMovesThePick) {
  startWith(kStart);
  openFromTray();
  clickBox(3);
  clickBox(5);
  EXPECT_EQ(state(), "Xc:\\ _ _ Xz:\\ X _ / picking 5 / c:\\ - - z:\\ - -");
  choose(kItemD);
  click(OptionsWindow::Command3);
  EXPECT_EQ(state(), "Xc:\\ _ _ Xz:\\ Xd:\\ _ / idle / c:\\ - - z:\\ d:\\ -");
}

TEST_F(OptionsWindowTest, UncheckingAnotherBoxWhileOneWaitsEmptiesBoth) {
  startWith(kStart);
  openFromTray();
  clickBox(3);
  clickBox(1);
  EXPECT_EQ(state(), "_ _ _ Xz:\\ _ _ / idle / - - - z:\\ - -");
  // Then an accept has no pending slot to fill.
  clickBox(6);
  clickBox(4);
  EXPECT_EQ(state(), "_ _ _ _ _ _ / idle / - - - - - -");
}

TEST_F(OptionsWindowTest, ADriveAlreadyInAnotherSlotIsAccepted) {
  startWith({"", "d:\\", "", "", "", ""});
  openFromTray();
  pick(5, kItemD);
  pick(1, kItemD);
  EXPECT_EQ(state(), "Xd:\\ Xd:\\ _ _ Xd:\\ _ / idle / d:\\ d:\\ - - d:\\ -");
  click(OptionsWindow::Command1);
  EXPECT_EQ(app.settings.drives, (Slots{"d:\\", "d:\\", "", "", "d:\\", ""}));
  EXPECT_EQ(config(), configWith({"d:\\", "d:\\", "", "", "d:\\", ""}, 1500, 900));
}

TEST_F(OptionsWindowTest, TheRootIsTheEntryUpToItsFirstColonAndABackslash) {
  fake.disks.drives = {"c: [system]", "d: [data]", "e:[usb]:2", "Q:", "network", ":odd"};
  startWith({"", "", "", "", "", ""});
  openFromTray();
  for (int n = 1; n <= kSlots; ++n) pick(n, n - 1);
  EXPECT_EQ(state(), "Xc:\\ Xd:\\ Xe:\\ XQ:\\ X\\ X:\\ / idle / c:\\ d:\\ e:\\ Q:\\ \\ :\\");
}

TEST_F(OptionsWindowTest, ThePickerAlwaysHasADriveOfTheSystemToAccept) {
  startWith(kStart);
  openFromTray();
  clickBox(2);
  click(OptionsWindow::Command3);  // the user accepts without choosing
  std::string root = app.optionswindow.optdrives()[1];
  EXPECT_TRUE(root == "c:\\" || root == "d:\\" || root == "z:\\") << root;
}

TEST_F(OptionsWindowTest, ActivationDropsEveryEditAndRefillsAllBoxes) {
  startWith(kStart);
  openFromTray();
  clickBox(1);      // c:\ unchecked
  pick(2, kItemD);  // d:\ into slot 2
  clickBox(4);      // z:\ unchecked ...
  clickBox(4);      // ... and waiting for a drive
  EXPECT_EQ(state(), "_ Xd:\\ _ X _ _ / picking 4 / - d:\\ - - - -");
  // The user goes to the drive window and back.
  enter([&] { fake.desktop.activate(fake.desktop.handleOf("smallwindow")); });
  enter([&] { fake.desktop.activate(fake.desktop.handleOf("optionswindow")); });
  // Both filled boxes are checked again: refilling box 4 must not uncheck box 1.
  EXPECT_EQ(state(), "Xc:\\ _ _ Xz:\\ _ _ / idle / c:\\ - - z:\\ - -");
  click(OptionsWindow::Command1);
  EXPECT_EQ(app.settings.drives, kStart);
  EXPECT_EQ(config(), configWith(kStart, 1500, 900));
}

// ---- Okay and Cancel -----------------------------------------------------------------------

TEST_F(OptionsWindowTest, OkayWhileABoxWaitsCommitsThatSlotEmpty) {
  startWith(kStart);
  openFromTray();
  clickBox(1);
  clickBox(1);  // waits for a drive
  clickBox(6);  // now box 6 waits, box 1 is empty again
  click(OptionsWindow::Command1);
  EXPECT_EQ(app.settings.drives, (Slots{"", "", "", "z:\\", "", ""}));
  EXPECT_EQ(config(), configWith({"", "", "", "z:\\", "", ""}, 1500, 900));
}

TEST_F(OptionsWindowTest, OkayAndAcceptChangesCopyAllSixSaveReadBackAndClose) {
  startWith({"c:\\", "d:\\", "", "z:\\", "", ""});
  struct Way {
    const char* name;
    std::function<void()> commit;
    std::function<void()> edit;
    Slots committed;
  };
  const std::vector<Way> ways = {
      {"Okay",
       [&] { click(OptionsWindow::Command1); },
       [&] {
         clickBox(1);
         pick(3, kItemZ);
         pick(5, kItemC);
         pick(6, kItemD);
       },
       {"", "d:\\", "z:\\", "z:\\", "c:\\", "d:\\"}},
      {"&Accept Changes (also Ctrl+O)",
       [&] { menu(OptionsWindow::okmen); },
       [&] {
         clickBox(2);
         clickBox(3);
         pick(1, kItemD);
       },
       {"d:\\", "", "", "z:\\", "c:\\", "d:\\"}},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    openFromTray();
    Slots before = app.settings.drives;
    way.edit();
    EXPECT_EQ(app.settings.drives, before);  // nothing committed by the edits themselves
    std::size_t from = mark();
    way.commit();
    EXPECT_EQ(logSince(from, {"hide", "write", "read", "topmost", "destroy", "show", "create"}),
              (Log{"hide optionswindow", "write " + kConfig, "read " + kConfig, "topmost smallwindow on",
                   "destroy optionswindow"}));
    EXPECT_EQ(app.settings.drives, way.committed);
    EXPECT_EQ(config(), configWith(way.committed, 1500, 900));
    EXPECT_FALSE(fake.desktop.exists("optionswindow"));
    EXPECT_TRUE(drive().topmost);
    EXPECT_TRUE(fake.desktop.messages.empty());
  }
}

TEST_F(OptionsWindowTest, CancelDiscardChangesAndTheCloseBoxKeepTheDrives) {
  startWith(kStart);
  const std::vector<std::pair<const char*, std::function<void()>>> ways = {
      {"Cancel", [&] { click(OptionsWindow::Command2); }},
      {"&Discard Changes (also Ctrl+C)", [&] { menu(OptionsWindow::cancmen); }},
      {"close box", [&] { enter([&] { options().closeRequested(); }); }},
  };
  for (const auto& [name, close] : ways) {
    SCOPED_TRACE(name);
    openFromTray();
    EXPECT_EQ(state(), "Xc:\\ _ _ Xz:\\ _ _ / idle / c:\\ - - z:\\ - -");  // earlier edits are gone
    clickBox(1);
    pick(2, kItemD);
    clickBox(3);
    std::size_t from = mark();
    close();
    EXPECT_EQ(logSince(from, {"hide", "write", "read", "topmost", "destroy"}),
              (Log{"topmost smallwindow on", "destroy optionswindow"}));
    EXPECT_EQ(app.settings.drives, kStart);
    EXPECT_FALSE(fake.desktop.exists("optionswindow"));
    EXPECT_TRUE(drive().topmost);
  }
  EXPECT_EQ(fake.files.writes, 0);
  EXPECT_EQ(config(), configWith(kStart, 1500, 900));
}

TEST_F(OptionsWindowTest, HideWhileOpenDropsTheEdits) {
  startWith(kStart);
  openFromTray();
  clickBox(1);
  pick(2, kItemD);
  popupChoice(TrayWindow::hidemen);
  EXPECT_FALSE(fake.desktop.exists("optionswindow"));
  EXPECT_EQ(app.settings.drives, kStart);
  EXPECT_EQ(config(), configWith(kStart, 1500, 900));
}

// ---- Topmost order -------------------------------------------------------------------------

TEST_F(OptionsWindowTest, EachOpeningTakesTheDriveWindowOffTopAndClosingPutsItBack) {
  startWith(kStart);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    std::size_t from = mark();
    openFromTray();
    // Loaded anew each time: the load's steps run again.
    EXPECT_EQ(logSince(from, {"create", "topmost", "show", "destroy"}),
              (Log{"create optionswindow", "topmost smallwindow off", "show optionswindow"}));
    EXPECT_FALSE(drive().topmost);
    click(round == 0 ? OptionsWindow::Command1 : OptionsWindow::Command2);
    EXPECT_TRUE(drive().topmost);
  }
}

TEST_F(OptionsWindowTest, WithTheDriveWindowClosedClosingLeavesTheTopmostOrderAlone) {
  startWith(kStart);
  for (int commit : {OptionsWindow::Command1, OptionsWindow::Command2}) {
    SCOPED_TRACE(commit == OptionsWindow::Command1 ? "Okay" : "Cancel");
    enter([&] { fake.desktop.sink("tbarw").menuChosen(TrayWindow::showmenu); });
    openFromTray();
    clickDriveWindow(MouseButton::Left);  // a plain click closes the drive window
    ASSERT_FALSE(fake.desktop.exists("smallwindow"));
    ASSERT_FALSE(app.settings.smlshown);
    std::size_t from = mark();
    click(commit);
    EXPECT_EQ(logSince(from, {"topmost", "create"}), Log{});
    EXPECT_FALSE(fake.desktop.exists("smallwindow"));  // not loaded again for nothing
    EXPECT_FALSE(fake.desktop.exists("optionswindow"));
  }
}

TEST_F(OptionsWindowTest, FromTheTrayAfterHideTheDriveWindowIsLoadedHiddenAndStaysHidden) {
  startWith(kStart);
  popupChoice(TrayWindow::hidemen);
  ASSERT_FALSE(fake.desktop.exists("smallwindow"));
  std::size_t from = mark();
  openFromTray();
  EXPECT_EQ(logSince(from, {"create", "topmost", "show"}),
            (Log{"create optionswindow", "create smallwindow", "topmost smallwindow on", "topmost smallwindow off",
                 "show optionswindow"}));
  EXPECT_TRUE(app.settings.smlshown);  // the drive window's load set it
  from = mark();
  click(OptionsWindow::Command2);
  EXPECT_EQ(logSince(from, {"topmost", "destroy", "show"}), (Log{"topmost smallwindow on", "destroy optionswindow"}));
  EXPECT_FALSE(drive().visible);
}

// ---- Opened from the drive window's popup --------------------------------------------------

TEST_F(OptionsWindowTest, FromThePopupItIsModalOverTheDriveWindowAndTheMenuWaits) {
  startWith(kStart);
  bool sawIt = false;
  whenModal([&](WindowHandle) {
    sawIt = true;
    EXPECT_TRUE(fake.desktop.window("optionswindow").visible);
    EXPECT_FALSE(drive().enabled);
    EXPECT_FALSE(drive().topmost);
    EXPECT_TRUE(app.smallwindow.press().gflag);  // the release handler has not finished
    EXPECT_EQ(state(), "Xc:\\ _ _ Xz:\\ _ _ / idle / c:\\ - - z:\\ - -");
    pickInto(3, kItemD);
    options().controlClicked(OptionsWindow::Command1);
  });
  popupChoice(TrayWindow::optmenu);
  ASSERT_TRUE(sawIt);
  EXPECT_EQ(count("modal optionswindow owner smallwindow"), 1);
  EXPECT_EQ(app.settings.drives, (Slots{"c:\\", "", "d:\\", "z:\\", "", ""}));
  EXPECT_FALSE(fake.desktop.exists("optionswindow"));
  EXPECT_TRUE(drive().enabled);
  EXPECT_TRUE(drive().topmost);
  EXPECT_FALSE(app.smallwindow.press().gflag);
  EXPECT_EQ(fake.desktop.modalDepth, 0);
}

TEST_F(OptionsWindowTest, ANewChoiceReachesTheDriveWindowAndTheTrayAtTheirNextRefresh) {
  startWith(kStart);
  openFromTray();
  pick(3, kItemD);
  click(OptionsWindow::Command1);
  enter([&] { fake.desktop.sink("smallwindow").timer(); });
  EXPECT_EQ(drive().controls.at(SmallWindow::kSlotLine[2]).text, "d: 532.00 MB");
  enter([&] { fake.desktop.sink("tbarw").trayMessage(0x200); });
  EXPECT_EQ(fake.shell.lastRecord.szTip.data(), std::string("c:1856MB d:532MB z:12MB"));
}

// ---- What the window is made of ------------------------------------------------------------

TEST_F(OptionsWindowTest, ControlsMenuAndTabOrder) {
  startWith(kStart);
  openFromTray();
  const WindowLayout& w = fake.desktop.window("optionswindow").layout;
  EXPECT_EQ(w.caption, "Options");
  EXPECT_EQ(w.clientWidth, 4650);
  EXPECT_EQ(w.clientHeight, 3750);
  EXPECT_EQ(w.helpTopic, 200);
  struct Expected {
    const char* name;
    ControlKind kind;
    const char* caption;
    Rect rect;
    bool inFrame;
  };
  const std::vector<Expected> tabOrder = {
      {"Picture1", ControlKind::Picture, "", {135, 105, 4395, 780}, false},
      {"Command1", ControlKind::Button, "Okay", {3585, 3255, 930, 390}, false},
      {"Command2", ControlKind::Button, "Cancel", {2580, 3255, 915, 390}, false},
      {"Frame1", ControlKind::Frame, "Drives", {150, 870, 4350, 2265}, false},
      {"Check6", ControlKind::CheckBox, nullptr, {2235, 1395, 1125, 285}, true},
      {"Check5", ControlKind::CheckBox, nullptr, {870, 1395, 1125, 285}, true},
      {"Check4", ControlKind::CheckBox, nullptr, {2235, 1005, 1125, 285}, true},
      {"Check3", ControlKind::CheckBox, nullptr, {870, 1005, 1125, 285}, true},
      {"Check2", ControlKind::CheckBox, nullptr, {2235, 600, 1125, 285}, true},
      {"Check1", ControlKind::CheckBox, nullptr, {870, 600, 1125, 285}, true},
      {"Label1", ControlKind::Label, "Please select drives below:", {900, 255, 2460, 240}, true},
      {"Drive1", ControlKind::DriveList, "", {270, 1830, 2520, 315}, true},
      {"Command3", ControlKind::Button, "Accept Drive", {2865, 1830, 1155, 330}, true},
  };
  ASSERT_EQ(w.controls.size(), tabOrder.size());
  for (std::size_t i = 0; i < tabOrder.size(); ++i) {
    const ControlLayout& c = w.controls[i];
    const Expected& e = tabOrder[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(c.name, e.name);
    EXPECT_EQ(c.kind, e.kind);
    if (e.caption) {
      EXPECT_EQ(c.text, e.caption);  // the boxes' captions come from the settings
    }
    EXPECT_EQ(c.rect.left, e.rect.left);
    EXPECT_EQ(c.rect.top, e.rect.top);
    EXPECT_EQ(c.rect.width, e.rect.width);
    EXPECT_EQ(c.rect.height, e.rect.height);
    EXPECT_EQ(c.parent, e.inFrame ? static_cast<int>(OptionsWindow::Frame1) : 0);
  }
  EXPECT_EQ(w.controls[10].font.face, "MS Sans Serif");
  EXPECT_DOUBLE_EQ(w.controls[10].font.points, 9.75);

  ASSERT_EQ(w.menuBar.size(), 1u);
  EXPECT_EQ(w.menuBar[0].caption, "&Options");
  std::vector<std::string> entries;
  for (const MenuEntry& e : w.menuBar[0].entries)
    entries.push_back(e.caption + (e.shortcut.empty() ? "" : " " + e.shortcut));
  EXPECT_EQ(entries, (Log{"&Help F1", "-", "&Discard Changes Ctrl+C", "&Accept Changes Ctrl+O"}));
}

// ---- The set-up of a first run -------------------------------------------------------------

class OptionsFirstRunTest : public OptionsWindowTest {
 protected:
  void expectAWorkingProgram() {
    EXPECT_EQ(count("modal optionswindow owner smallwindow"), 1);  // one set-up only
    EXPECT_EQ(count("create optionswindow"), 1);                   // unloaded during its own load, and it stays so
    EXPECT_EQ(app.optionswindow.state(), Form::State::NotLoaded);
    EXPECT_TRUE(drive().visible);
    EXPECT_TRUE(drive().enabled);
    EXPECT_TRUE(drive().topmost);
    EXPECT_TRUE(fake.shell.iconPresent);
    EXPECT_EQ(fake.desktop.modalDepth, 0);
    EXPECT_TRUE(fake.desktop.messages.empty());
  }
};

TEST_F(OptionsFirstRunTest, TheSetUpWindowShowsSixEmptyBoxes) {
  std::string shown;
  whenModal([&](WindowHandle) {
    shown = state();
    options().controlClicked(OptionsWindow::Command1);
  });
  start();
  EXPECT_EQ(shown, "_ _ _ _ _ _ / idle / - - - - - -");
  expectAWorkingProgram();
}

TEST_F(OptionsFirstRunTest, OkayCommitsSeveralSlotsADuplicateAndAPendingPickLeftEmpty) {
  whenModal([&](WindowHandle) {
    pickInto(1, kItemD);
    pickInto(4, kItemD);
    box(6);  // still waiting when "Okay" comes
    EXPECT_EQ(state(), "Xd:\\ _ _ Xd:\\ _ X / picking 6 / d:\\ - - d:\\ - -");
    options().controlClicked(OptionsWindow::Command1);
  });
  start();
  EXPECT_EQ(config(), configWith({"d:\\", "", "", "d:\\", "", ""}, 0, 0));
  EXPECT_EQ(app.settings.drives, (Slots{"d:\\", "", "", "d:\\", "", ""}));
  EXPECT_EQ(fake.shell.lastRecord.szTip.data(), std::string("d:532MB d:532MB"));
  expectAWorkingProgram();
}

TEST_F(OptionsFirstRunTest, AcceptChangesFromTheMenuCommitsLikeOkay) {
  whenModal([&](WindowHandle) {
    pickInto(3, kItemZ);
    options().menuChosen(OptionsWindow::okmen);
  });
  start();
  EXPECT_EQ(config(), configWith({"", "", "z:\\", "", "", ""}, 0, 0));
  expectAWorkingProgram();
}

TEST_F(OptionsFirstRunTest, CancelAfterEditsKeepsTheFreshFile) {
  whenModal([&](WindowHandle) {
    pickInto(2, kItemZ);
    box(5);
    options().controlClicked(OptionsWindow::Command2);
  });
  start();
  EXPECT_EQ(config(), kFirstRunFile);
  EXPECT_EQ(app.settings.drives, Slots{});
  expectAWorkingProgram();
}

TEST_F(OptionsFirstRunTest, TheCloseBoxActsAsCancel) {
  whenModal([&](WindowHandle) {
    pickInto(2, kItemZ);
    options().closeRequested();
  });
  start();
  EXPECT_EQ(config(), kFirstRunFile);
  EXPECT_EQ(app.settings.drives, Slots{});
  expectAWorkingProgram();
}

TEST_F(OptionsFirstRunTest, AfterTheSetUpTheWindowOpensAgainWithTheChosenDrives) {
  whenModal([&](WindowHandle) {
    pickInto(2, kItemZ);
    options().controlClicked(OptionsWindow::Command1);
  });
  start();
  std::size_t from = mark();
  openFromTray();
  EXPECT_EQ(logSince(from, {"create", "topmost", "show"}),
            (Log{"create optionswindow", "topmost smallwindow off", "show optionswindow"}));
  EXPECT_EQ(state(), "_ Xz:\\ _ _ _ _ / idle / - z:\\ - - - -");
  // Its help component was set up by this load too.
  menu(OptionsWindow::helmen);
  ASSERT_FALSE(fake.help.requests.empty());
  EXPECT_EQ(fake.help.requests.back().file, app.settings.helppath);
  EXPECT_EQ(fake.help.requests.back().command, 1u);
  EXPECT_EQ(fake.help.requests.back().topic, 200u);
  pick(1, kItemC);
  click(OptionsWindow::Command1);
  EXPECT_EQ(config(), configWith({"c:\\", "z:\\", "", "", "", ""}, 0, 0));
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// Faults a user met with the real desktop, which the platform shows here as Windows does: a
// popup menu makes its owner the foreground window, hiding a modal window activates its owner.
class OptionsOnTheDesktopTest : public OptionsWindowTest {};

TEST_F(OptionsOnTheDesktopTest, AGlanceAtTheTrayMenuKeepsTheEditsOfAnOpenWindow) {
  startWith(kStart);
  openFromTray();
  pick(2, kItemD);
  whenMenu(0);  // the user reads the free space and presses Esc
  enter([&] { fake.desktop.sink("tbarw").trayMessage(kTrayRightDown); });
  enter([&] { fake.desktop.activate(fake.desktop.handleOf("optionswindow")); });
  click(OptionsWindow::Command1);
  EXPECT_EQ(config(), configWith({"c:\\", "d:\\", "", "z:\\", "", ""}, 1500, 900));
}

TEST_F(OptionsOnTheDesktopTest, OkayInTheModalWindowShowsTheNewDriveAtOnce) {
  startWith(kStart);
  whenModal([&](WindowHandle) {
    pickInto(2, kItemD);
    options().controlClicked(OptionsWindow::Command1);
  });
  popupChoice(TrayWindow::optmenu);
  EXPECT_EQ(fake.desktop.window("smallwindow").controls.at(SmallWindow::kSlotLine[1]).text, "d: 532.00 MB");
}

TEST_F(OptionsOnTheDesktopTest, ChecksKeepTheChosenEntryAndAskNoDriveAgain) {
  startWith(kStart);
  openFromTray();
  int queries = fake.disks.driveListQueries;
  clickBox(2);
  choose(kItemD);
  click(OptionsWindow::Command3);
  clickBox(3);
  click(OptionsWindow::Command3);  // the list still shows d:
  EXPECT_EQ(app.optionswindow.optdrives()[2], "d:\\");
  EXPECT_EQ(fake.disks.driveListQueries, queries);
}

}  // namespace
}  // namespace kv
