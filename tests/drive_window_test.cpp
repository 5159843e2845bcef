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
    rescaled ? enter([&] { fake.desktop.sink("smallwindow").rescaled(); }) : fake.elapse(2000);
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
}

TEST_F(DriveWindowTest, ShownAgainItOpensWhereTheFileSaysUnlessPastTheScreensRightEdge) {
  start(fileOf(kOne));
  const int edge = fake.desktop.screenWidthTwips - where().width;  // the left of a window touching it
  const std::array<int, 5> rows[] = {// left, top in the file; where it opens; shown by Show (or the icon)
                                     {edge, 900, edge, 900, 0},
                                     {edge + 1, 900, 50, 50, 1},
                                     {-3000, -500, -3000, -500, 0},
                                     {300, 20000, 300, 20000, 1}};
  for (const auto& [left, top, openLeft, openTop, byShow] : rows) {
    popup("&Hide");
    fake.files.entries[kConfig] = {fileOf(kOne, left, top)};
    byShow ? tray(kRightPress, "&Show Kestrovan '99") : tray(kLeftPress);
    EXPECT_TRUE(shown("smallwindow")) << left;
    EXPECT_EQ(where().left, openLeft) << left;
    EXPECT_EQ(where().top, openTop) << left;
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

TEST_F(DriveWindowTest, APlaceBeyondSixteenBitsIsSavedAtTheNearestEnd) {
  fake.desktop.screenWidthTwips = 3840 * 15;  // two wide screens side by side
  start(fileOf(kOne, 30000, 900));
  press(kLeft);
  for (int i = 0; i < 40; ++i) drag(150, 0);
  release(kLeft);
  EXPECT_EQ(where().left, 36000);
  const std::array<int, 4> rows[] = {{40000, 900, 32767, 900}, {-40000, -33000, -32768, -32768}};
  for (const auto& [left, top, savedLeft, savedTop] : rows) {
    tray(kLeftPress);
    win("smallwindow").bounds.left = left;
    win("smallwindow").bounds.top = top;
    press(kLeft);
    release(kLeft);
    EXPECT_FALSE(exists("smallwindow"));
    EXPECT_EQ(file(), fileOf(kOne, savedLeft, savedTop));
  }
}

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
