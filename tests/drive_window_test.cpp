// The drive window: its lines, its place when it opens, dragging, click-to-close, positions
// beyond 16 bits.
#include <map>
#include <tuple>
#include <utility>

#include "app_fixture.h"

namespace kv {
namespace {

const Slots kOne{"c:\\", "", "", "", "", ""};

class DriveWindowTest : public AppTest {
 protected:
  // The lines as the user reads them: row by row, left to right.
  std::vector<std::string> lines() {
    std::map<std::pair<int, int>, std::string> byPlace;  // by top, then left
    for (const auto& [id, c] : win("smallwindow").controls) byPlace[{c.layout.rect.top, c.layout.rect.left}] = c.text;
    std::vector<std::string> out;
    for (const auto& [place, text] : byPlace) out.push_back(text);
    return out;
  }
  // Hidden, then shown again on this desktop at this place.
  void reopen(const std::vector<fake::FakeMonitor>& desktop, const Slots& slots, int left, int top = 900) {
    popup("&Hide");
    fake.desktop.screens = desktop;
    fake.files.entries[kConfig] = {fileOf(slots, left, top)};
    tray(kRightPress, "&Show Kestrovan '99");
    EXPECT_TRUE(shown("smallwindow"));
  }
};

TEST_F(DriveWindowTest, EachSlotHasItsLineInReadingOrderRefreshedByTheTimer) {
  start(fileOf({"z:\\", "d:\\", "", "c:\\", "z:\\", "d:\\"}));
  EXPECT_EQ(lines(), (std::vector<std::string>{"z: 12.00 MB", "d: 532.00 MB", "", "c: 1856.25 MB", "z: 12.00 MB",
                                               "d: 532.00 MB"}));
  // Every two seconds, not sooner.
  for (auto [megabytes, line] : {std::pair{7.5, "z: 7.50 MB"}, std::pair{3.25, "z: 3.25 MB"}}) {
    freeMegabytes("z:\\", megabytes);
    fake.elapse(1999);
    EXPECT_NE(lines()[0], line);
    fake.elapse(1);
    EXPECT_EQ(lines()[0], line);
  }
}

TEST_F(DriveWindowTest, LinesWidenToTheWidestFigureSoNothingIsCutAndNarrowAgainWhenItGoes) {
  start(fileOf({"c:\\", "y:\\", "z:\\", "", "", ""}));
  fake::FakeWindow& w = win("smallwindow");
  const Rect narrow = where();
  // y's free megabytes (2 TB, 95 TB, then small again), the face's width on a screen of another DPI
  // (the same texts measure anew); whether the window is wider than at start
  for (auto [megabytes, textScale, wider] :
       {std::tuple{1907348.5, 1.0, true}, {99999999.25, 1.0, true}, {99999999.25, 1.2, true}, {532.0, 1.0, false}}) {
    freeMegabytes("y:\\", megabytes);
    const bool rescaled = std::exchange(fake.desktop.textScale, textScale) != textScale;
    if (rescaled) enter([&] { fake.desktop.sink("smallwindow").rescaled(); });
    fake.elapse(2000);
    EXPECT_EQ(where().width > narrow.width, wider) << megabytes;
    EXPECT_EQ(where().left, narrow.left);
    for (const auto& [id, line] : w.controls) {
      const Rect r = line.layout.rect;
      EXPECT_GE(r.width, fake.desktop.textWidth(w.handle, line.layout.font, line.text)) << line.text;
      EXPECT_LE(r.right(), w.layout.clientWidth) << line.text;
      for (const auto& [other, beside] : w.controls) {  // lines never overlap
        if (other != id && beside.layout.rect.top == r.top && beside.layout.rect.left > r.left) {
          EXPECT_LT(r.right(), beside.layout.rect.left) << line.text;
        }
      }
    }
  }
  EXPECT_EQ(where().width, narrow.width);
  EXPECT_EQ(fake.desktop.drawnCut, std::vector<std::string>{}) << "a line given its figure before it widened";
}

TEST_F(DriveWindowTest, ADpiChangeUnderAMessageBoxIsMeasuredAtTheFirstRefreshAfterIt) {
  start(fileOf({"c:\\", "y:\\", "", "", "", ""}));
  freeMegabytes("y:\\", 1907348.5);
  fake.elapse(2000);
  fake.files.writeFailure = "Access is denied.";
  const Rect before = where();
  fake.desktop.onMessageBox.push_back([&] {
    fake.desktop.textScale = 1.5;  // the face on the new monitor draws wider
    enter([&] { fake.desktop.sink("smallwindow").rescaled(); }, UnderBox::Runs);
    EXPECT_EQ(where().width, before.width) << "laid out under the box";
  });
  tray(kRightPress, "&Options");
  optionsClick(OptionsWindow::Okay);  // its save fails
  ASSERT_EQ(fake.desktop.messages.size(), 1u);
  fake.elapse(2000);
  fake::FakeWindow& w = win("smallwindow");
  for (const auto& [id, line] : w.controls)
    EXPECT_GE(line.layout.rect.width, fake.desktop.textWidth(w.handle, line.layout.font, line.text)) << line.text;
}

// Monitors in the desktop's twips: one of 1024 x 768 pixels, a second to its right or its left.
const fake::FakeMonitor kPrimary{{0, 0, 15360, 11520}};
const std::vector<fake::FakeMonitor> kOneMonitor{kPrimary}, kRightOfIt{kPrimary, {{15360, 0, 15360, 11520}}},
    kLeftOfIt{kPrimary, {{-21600, 0, 21600, 16200}, 144}},  // a 144-DPI panel of 1440 x 1080 pixels
    kFullHdPair{{{0, 0, 28800, 16200}}, {{28800, 0, 28800, 16200}}};

TEST_F(DriveWindowTest, ShownAgainItOpensWhereTheFileSaysWhileItEndsInsideTheDesktopOnSomeMonitor) {
  start(fileOf(kOne));
  const int width = where().width, edge = 15360 - width;  // the left of a window touching the right edge
  struct Row {
    std::vector<fake::FakeMonitor> desktop;
    int left, top, openLeft, openTop;
  };
  const Row rows[] = {
      {kOneMonitor, edge, 900, edge, 900},   {kOneMonitor, edge + 1, 900, 50, 50},
      {kOneMonitor, 300, -500, 300, -500},   {kOneMonitor, 300, 11505, 300, 11505},  // partly above, below
      {kOneMonitor, 300, 11520, 50, 50},     {kOneMonitor, 300, -1185, 50, 50},      // wholly below, above
      {kOneMonitor, -width, 900, 50, 50},    {kOneMonitor, 1 - width, 900, 1 - width, 900},
      {kOneMonitor, 40000, 900, 50, 50},     {kRightOfIt, 20000, 900, 20000, 900},
      {kFullHdPair, 40000, 900, 40000, 900}, {kRightOfIt, 2 * edge + width + 1, 900, 50, 50},
      {kLeftOfIt, -15000, 900, -15000, 900}, {kLeftOfIt, -21600, -900, -21600, -900},
      {kOneMonitor, -15000, 900, 50, 50},  // the panel on the left since detached
  };
  for (const auto& [desktop, left, top, openLeft, openTop] : rows) {
    reopen(desktop, kOne, left, top);
    EXPECT_EQ(where().left, openLeft) << left << "," << top;
    EXPECT_EQ(where().top, openTop) << left << "," << top;
  }
  EXPECT_TRUE(fake.help.requests.empty());  // no place read is a damaged file
}

TEST_F(DriveWindowTest, WhenNoMonitorShowsItAnyMoreItComesToThePrimary) {
  start(fileOf(kOne));
  const std::tuple<std::vector<fake::FakeMonitor>, int, std::vector<fake::FakeMonitor>, int> rows[] = {
      {kRightOfIt, 20000, kOneMonitor, 50},                                      // the right one removed
      {kLeftOfIt, -15000, kOneMonitor, 50},                                      // the left one removed
      {kOneMonitor, 13000, {{{0, 0, 12000, 9000}}}, 50},                         // 800 x 600 now
      {kOneMonitor, 10000, {{{0, 0, 12000, 9000}}}, 10000},                      // still partly shown
      {kRightOfIt, 20000, {kPrimary, {{15360, 0, 15360, 11520}, 144}}, 20000}};  // a DPI changed
  for (const auto& [before, left, after, nowLeft] : rows) {
    reopen(before, kOne, left);
    fake.changeDesktop(after);
    EXPECT_EQ(where().left, nowLeft) << left;
    EXPECT_EQ(where().top, nowLeft == 50 ? 50 : 900) << left;
  }
}

TEST_F(DriveWindowTest, AWindowWidenedAtTheDesktopsRightEdgeGrowsToTheLeftThere) {
  const Slots slots{"c:\\", "y:\\", "", "", "", ""};
  freeMegabytes("y:\\", 12);
  start(fileOf(slots));
  const int narrow = where().width;
  for (const auto& [desktop, room] : {std::pair{kOneMonitor, 0}, {kRightOfIt, 0}, {kOneMonitor, 1500}}) {
    const int right = desktop.back().area.right();
    reopen(desktop, slots, right - room - narrow);
    freeMegabytes("y:\\", 1907348.5);
    fake.elapse(2000);
    EXPECT_GT(where().width, narrow);
    EXPECT_EQ(where().left, room ? right - room - narrow : right - where().width) << room;
    freeMegabytes("y:\\", 12);
    fake.elapse(2000);
  }
}

struct MouseRow {
  MouseButton button;
  std::vector<Point> moves;
  const char* after;
  friend void PrintTo(const MouseRow& row, std::ostream* os) { *os << row.after; }
};
class MouseTest : public DriveWindowTest, public ::testing::WithParamInterface<MouseRow> {};

TEST_P(MouseTest, AnyButtonDragsALeftClickClosesTheOthersOpenTheMenu) {
  start(fileOf(kOne, 1500, 900));
  press(GetParam().button);
  for (Point by : GetParam().moves) drag(by.x, by.y);
  release(GetParam().button);
  std::string after = !exists("smallwindow") ? "closed, saved " + file().substr(file().rfind("\"\r\n") + 3)
                                             : std::to_string(where().left) + "," + std::to_string(where().top);
  EXPECT_EQ(after + (fake.desktop.menusShown.empty() ? "" : " with the menu"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Gestures, MouseTest,
                         ::testing::Values(MouseRow{kLeft, {}, "closed, saved 1500\r\n900\r\n"},
                                           MouseRow{kLeft, {{1, 0}}, "1501,900"},
                                           MouseRow{kLeft, {{15, 30}, {15, 30}, {15, 30}}, "1545,990"},
                                           MouseRow{kLeft, {{-30, -45}}, "1470,855"},
                                           MouseRow{kLeft, {{0, 1}}, "1500,901"},
                                           MouseRow{kLeft, {{450, -90}, {-450, 90}}, "closed, saved 1500\r\n900\r\n"},
                                           MouseRow{kRight, {{600, 300}, {-15, 0}}, "2085,1200 with the menu"},
                                           MouseRow{MouseButton::Middle, {}, "1500,900 with the menu"}));

TEST_F(DriveWindowTest, OkayInOptionsShowsTheNewDrivesAtOnceWhicheverWayOptionsWasOpened) {
  // Drives whose figures are known and do not change: no answer comes to refresh the views.
  start(fileOf({"c:\\", "", "", "", "", "d:\\"}));
  auto okay = [&](int slot, int item) {
    pick(slot, item);
    optionsClick(OptionsWindow::Okay);
  };
  const std::tuple<std::function<void()>, std::vector<std::string>, std::string> rows[] = {
      {[&] {  // from the tray menu, modeless
         tray(kRightPress, "&Options");
         okay(2, 1);
       },
       {"c: 1856.25 MB", "d: 532.00 MB", ""},
       "c:1856MB d:532MB d:532MB"},
      {[&] {  // from the drive window's menu, modal over it
         whenModal([&] { okay(3, 0); });
         popup("&Options");
       },
       {"c: 1856.25 MB", "d: 532.00 MB", "c: 1856.25 MB"},
       "c:1856MB d:532MB c:1856MB d:532MB"},
  };
  for (const auto& [open, shown, tip] : rows) {
    open();
    std::vector<std::string> firstThree = lines();
    firstThree.resize(3);
    EXPECT_EQ(firstThree, shown);
    EXPECT_EQ(fake.shell.tip(), tip);
  }
}

}  // namespace
}  // namespace kv
