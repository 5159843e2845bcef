// The tray icon: its tooltip, its callback, a new taskbar, and both menus' entries.
#include "app_fixture.h"

namespace kv {
namespace {

TEST_F(AppTest, TheTipListsTheUsedSlotsInShortFormCutAtSixtyThreeCharacters) {
  start(fileOf({}));
  const std::pair<const char*, double> drives[] = {{"e:\\", 111111}, {"f:\\", 222222}, {"g:\\", 333333},
                                                   {"h:\\", 444444}, {"i:\\", 55555},  {"j:\\", 66666},
                                                   {"k:\\", 666666}};
  for (auto [root, megabytes] : drives) freeMegabytes(root, megabytes);
  const std::pair<Slots, const char*> rows[] = {
      {{}, ""},
      {{"c:\\", "", "d:\\"}, "c:1856MB d:532MB"},
      {{"e:\\", "f:\\", "g:\\", "h:\\", "i:\\", "j:\\"},
       "e:111111MB f:222222MB g:333333MB h:444444MB i:55555MB j:66666MB"},
      {{"e:\\", "f:\\", "g:\\", "h:\\", "i:\\", "k:\\"},
       "e:111111MB f:222222MB g:333333MB h:444444MB i:55555MB k:666666M"},
  };
  for (const auto& [slots, tip] : rows) {
    commit(slots);
    tray(kHover);
    EXPECT_EQ(fake.shell.tip(), tip);
    // The tray menu lists the same drives above its commands, as the drive window's lines show them.
    std::vector<std::string> lines;
    for (int slot = 0; slot < kSlots; ++slot)
      if (std::string text = line(slot); !text.empty()) lines.push_back(text);
    tray(kRightPress);
    EXPECT_EQ(menuDrives(), lines) << tip;
  }
}

TEST_F(AppTest, APressOnTheIconOrItsShowEntryBringsTheHiddenDriveWindowBack) {
  start(fileOf({"c:\\", "", "", "", "", ""}));
  for (const char* show : {static_cast<const char*>(nullptr), "&Show Kestrovan '99"}) {
    popup("&Hide");
    ASSERT_FALSE(shown("smallwindow"));
    show ? tray(kRightPress, show) : tray(kLeftPress);
    EXPECT_TRUE(shown("smallwindow")) << (show ? show : "a press on the icon");
  }
}

TEST_F(AppTest, ANewTaskbarGetsTheIconBackEvenUnderAMessageBox) {
  start(fileOf({"c:\\", "", "", "", "", ""}));
  fake.files.writeFailure = "Access is denied.";
  bool backUnderTheBox = false;
  fake.desktop.onMessageBox.push_back([&] {
    shellRestarts();
    backUnderTheBox = fake.shell.iconPresent;
  });
  press(kLeft);
  release(kLeft);  // closes the drive window, whose save fails
  EXPECT_TRUE(backUnderTheBox);
  shellRestarts();
  tray(kHover);
  EXPECT_TRUE(fake.shell.iconPresent);
  EXPECT_EQ(fake.shell.tip(), "c:1856MB");
  EXPECT_EQ(fake.shell.refused, 0);
}

// The shell may refuse the icon (at log-on, before its area takes icons), lose it without a word,
// or say the taskbar is new while it still has it: the icon is there by the next refresh.
enum class ShellDoes { RefusesAtStartUp, LosesIt, RestartsWithIt };
class IconTest : public AppTest, public ::testing::WithParamInterface<ShellDoes> {};

TEST_P(IconTest, TheIconIsThereByTheNextRefreshWhateverTheShellDid) {
  const ShellDoes does = GetParam();
  fake.shell.takesIcons = does != ShellDoes::RefusesAtStartUp;
  start(fileOf({"c:\\", "", "", "", "", ""}), "/m");
  fake.elapse(DriveWindow::kRefreshMilliseconds);
  EXPECT_EQ(fake.shell.iconPresent, does != ShellDoes::RefusesAtStartUp);
  if (does == ShellDoes::RefusesAtStartUp) fake.shell.takesIcons = true;
  if (does == ShellDoes::LosesIt) fake.shell.loseIcon();
  if (does == ShellDoes::RestartsWithIt) enter([&] { fake.desktop.sink("tbarw").taskbarCreated(); }, UnderBox::Runs);
  fake.elapse(DriveWindow::kRefreshMilliseconds);
  // A lost icon comes back with the next change of the tip, which the shell refuses to modify.
  EXPECT_EQ(fake.shell.tip(), does == ShellDoes::LosesIt ? "" : "c:1856MB");
  freeMegabytes("c:\\", 1000);
  fake.elapse(DriveWindow::kRefreshMilliseconds);
  EXPECT_EQ(fake.shell.tip(), "c:1000MB") << "the tip keeps up";
}
INSTANTIATE_TEST_SUITE_P(Shells, IconTest,
                         ::testing::Values(ShellDoes::RefusesAtStartUp, ShellDoes::LosesIt, ShellDoes::RestartsWithIt));

TEST_F(AppTest, F1AsksForTheWindowsTopicInTheProgramWideHelpFile) {
  start(fileOf({"c:\\", "", "", "", "", ""}));
  tray(kRightPress, "&Options");
  tray(kRightPress, "&About");
  for (const char* name : {"smallwindow", "optionswindow", "aboutwindow"})
    enter([&] { fake.desktop.sink(name).helpKey(); });
  const std::string file = "D:\\Programs\\Kestrovan\\KESTROVAN99.HLP 1 ";
  EXPECT_EQ(fake.help.requests, (std::vector<std::string>{file + "100", file + "200", file + "300"}));
}

// What the user sees after choosing a menu entry (inside the window it opens, if that is modal).
struct MenuRow {
  const char* menu;
  const char* entry;
  const char* seen;
  friend void PrintTo(const MenuRow& row, std::ostream* os) {
    *os << row.menu << " " << (row.entry ? row.entry : "(none)");
  }
};
class MenuTest : public AppTest, public ::testing::WithParamInterface<MenuRow> {
 protected:
  std::string seen() {
    if (fake.ended()) return std::string("ended ") + (fake.shell.iconPresent ? "with" : "without") + " the icon";
    std::string out;
    for (const char* name : {"smallwindow", "optionswindow", "aboutwindow"})
      if (shown(name)) out += std::string(name) + (win(name).enabled ? " " : " (waits) ");
    for (const std::string& request : fake.help.requests) out += "help " + request.substr(request.rfind(' ') + 1);
    return out;
  }
};

TEST_P(MenuTest, EachEntryDoesItsOwnThing) {
  start(fileOf({"c:\\", "", "", "", "", ""}));
  std::string inModal;
  whenModal([&] { inModal = seen(); });
  if (std::string(GetParam().menu) == "tray")
    tray(kRightPress, GetParam().entry);
  else
    popup(GetParam().entry);
  EXPECT_EQ(inModal.empty() ? seen() : inModal, GetParam().seen);
}

INSTANTIATE_TEST_SUITE_P(Entries, MenuTest,
                         ::testing::Values(MenuRow{"tray", "&Options", "smallwindow optionswindow "},
                                           MenuRow{"tray", "&About", "smallwindow aboutwindow "},
                                           MenuRow{"tray", "&Help", "smallwindow help 400"},
                                           MenuRow{"tray", "&Quit", "ended without the icon"},
                                           MenuRow{"tray", nullptr, "smallwindow "}, MenuRow{"popup", "&Hide", ""},
                                           MenuRow{"popup", "&Options", "smallwindow (waits) optionswindow "},
                                           MenuRow{"popup", "&About", "smallwindow (waits) aboutwindow "},
                                           MenuRow{"popup", "&Help", "smallwindow help 100"},
                                           MenuRow{"popup", "&Quit", "ended without the icon"}));

TEST_F(AppTest, AGlanceAtTheTrayMenuKeepsTheEditsOfAnOpenOptionsWindow) {
  start(fileOf({"c:\\", "", "", "", "", ""}));
  tray(kRightPress, "&Options");
  pick(2, 1);         // d:
  tray(kRightPress);  // the user reads the free space and presses Esc
  optionsClick(OptionsWindow::Okay);
  EXPECT_EQ(file(), fileOf({"c:\\", "d:\\", "", "", "", ""}));
}

}  // namespace
}  // namespace kv
