// The tray icon: its tooltip, its callback, a new taskbar, and both menus' entries.
#include "app_fixture.h"

namespace kv {
namespace {

struct TipRow {
  std::vector<std::pair<const char*, double>> slots;  // root (empty: an empty slot), megabytes free
  const char* tip;
};
void PrintTo(const TipRow& row, std::ostream* os) {
  *os << row.tip;
}
class TipTest : public AppTest, public ::testing::WithParamInterface<TipRow> {};

TEST_P(TipTest, TheTipListsTheUsedSlotsInShortFormCutAtSixtyThreeCharacters) {
  Slots drives;
  for (std::size_t i = 0; i < GetParam().slots.size(); ++i) {
    auto [root, megabytes] = GetParam().slots[i];
    drives[i] = root;
    if (*root) freeMegabytes(root, megabytes);
  }
  start(fileOf(drives));
  EXPECT_EQ(fake.shell.tip(), GetParam().tip);
}

INSTANTIATE_TEST_SUITE_P(
    Slots, TipTest,
    ::testing::Values(
        TipRow{{}, ""}, TipRow{{{"c:\\", 1856.25}, {"", 0}, {"d:\\", 532}}, "c:1856MB d:532MB"},
        TipRow{
            {{"c:\\", 111111}, {"d:\\", 222222}, {"e:\\", 333333}, {"f:\\", 444444}, {"g:\\", 55555}, {"h:\\", 66666}},
            "c:111111MB d:222222MB e:333333MB f:444444MB g:55555MB h:66666MB"},
        TipRow{
            {{"c:\\", 111111}, {"d:\\", 222222}, {"e:\\", 333333}, {"f:\\", 444444}, {"g:\\", 55555}, {"h:\\", 666666}},
            "c:111111MB d:222222MB e:333333MB f:444444MB g:55555MB h:666666M"}));

TEST_F(AppTest, EveryMessageFromTheIconRefreshesTheTipAndTheMenusDriveEntries) {
  start(fileOf({"", "c:\\", "", "", "", ""}));
  double megabytes = 10;
  for (unsigned message : {kHover, 0x202u, 0x203u, 0x205u, kRightPress}) {
    freeMegabytes("c:\\", ++megabytes);
    tray(message);
    EXPECT_EQ(fake.shell.tip(), "c:" + std::to_string(static_cast<int>(megabytes)) + "MB") << message;
  }
  std::vector<std::string> entries;
  for (const MenuEntry& e : fake.desktop.menusShown.back().entries)
    if (e.visible && e.id >= TrayWindow::m1 && e.id < TrayWindow::m1 + kSlots) entries.push_back(e.caption);
  EXPECT_EQ(entries, std::vector<std::string>{"c: 15.00 MB"});
}

TEST_F(AppTest, ANewTaskbarGetsTheIconBack) {
  start(fileOf({"c:\\", "", "", "", "", ""}));
  fake.shell.iconPresent = false;  // the shell restarted and knows no icons
  enter([&] { fake.desktop.sink("tbarw").taskbarCreated(); });
  tray(kHover);
  EXPECT_TRUE(fake.shell.iconPresent);
  EXPECT_EQ(fake.shell.tip(), "c:1856MB");
  EXPECT_EQ(fake.shell.refused, 0);
}

TEST_F(AppTest, ALeftPressOrShowBringsBackTheDriveWindowWhereItWasHidden) {
  start(fileOf({"c:\\", "", "", "", "", ""}, 3000, 600));
  for (bool viaMenu : {false, true}) {
    popup(TrayWindow::hidemen);
    ASSERT_FALSE(exists("smallwindow"));
    viaMenu ? tray(kRightPress, TrayWindow::showmenu) : tray(kLeftPress);
    EXPECT_TRUE(shown("smallwindow"));
    EXPECT_EQ(where().left, 3000);
    EXPECT_EQ(where().top, 600);
  }
}

// What the user sees after choosing a menu entry (inside the window it opens, if that is modal).
struct MenuRow {
  const char* menu;
  int entry;
  const char* seen;
};
void PrintTo(const MenuRow& row, std::ostream* os) {
  *os << row.menu << " " << row.entry;
}
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
                         ::testing::Values(MenuRow{"tray", TrayWindow::optionmenu, "smallwindow optionswindow "},
                                           MenuRow{"tray", TrayWindow::aboutmenu, "smallwindow aboutwindow "},
                                           MenuRow{"tray", TrayWindow::helpmen1, "smallwindow help 400"},
                                           MenuRow{"tray", TrayWindow::quitmenu, "ended without the icon"},
                                           MenuRow{"tray", 0, "smallwindow "},
                                           MenuRow{"popup", TrayWindow::hidemen, ""},
                                           MenuRow{"popup", TrayWindow::optmenu, "smallwindow (waits) optionswindow "},
                                           MenuRow{"popup", TrayWindow::aboutmen, "smallwindow (waits) aboutwindow "},
                                           MenuRow{"popup", TrayWindow::helpmen2, "smallwindow help 100"},
                                           MenuRow{"popup", TrayWindow::quitmen, "ended without the icon"}));

TEST_F(AppTest, AGlanceAtTheTrayMenuKeepsTheEditsOfAnOpenOptionsWindow) {
  start(fileOf({"c:\\", "", "", "", "", ""}));
  tray(kRightPress, TrayWindow::optionmenu);
  pick(2, 1);         // d:
  tray(kRightPress);  // the user reads the free space and presses Esc
  optionsClick(OptionsWindow::Command1);
  EXPECT_EQ(file(), fileOf({"c:\\", "d:\\", "", "", "", ""}));
}

}  // namespace
}  // namespace kv
