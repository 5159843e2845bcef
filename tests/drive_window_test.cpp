// The drive window: its lines and refresh, its place at load, dragging, click-to-close and its
// popup menu.
#include "app_fixture.h"

namespace kv {
namespace {

using Log = std::vector<std::string>;
using Slots = std::array<std::string, kSlots>;
const Slots kOne{"c:\\", "", "", "", "", ""};
constexpr int kFrame = 45;         // the fake's frame, twips each side
constexpr int kOuterWidth = 4695;  // 4605 of client area and the frame
constexpr int kPixel = 15;         // twips

class DriveWindowTest : public AppTest {
 protected:
  void startWith(const Slots& drives, int left, int top) {
    writeConfig(configWith(drives, left, top));
    start();
    ASSERT_FALSE(fake.ended());
    ASSERT_TRUE(drive().visible);
  }
  // Closes the window as "Hide" does, puts this in the file and shows the window again.
  void reopenWith(const Slots& drives, int left, int top) {
    enter([&] { app.hideall(); });
    writeConfig(configWith(drives, left, top));
    enter([&] { fake.desktop.sink("tbarw").trayMessage(0x201); });
  }
  void freeMegabytes(const std::string& root, unsigned megabytes) {
    fake.disks.answers[root] = {DiskCounters{2048, 512, megabytes, 0}, true};
  }
  std::string line(int id) { return drive().controls.at(id).text; }
  Rect where() { return drive().bounds; }

  // The user's pointer, in screen twips. Events reach the window relative to its client area,
  // as the window stands at that moment (a press keeps the mouse, so they all share that origin).
  void press(MouseButton button, int x, int y) {
    pointerX_ = x;
    pointerY_ = y;
    Point r = relative();
    enter([&] { fake.desktop.sink("smallwindow").mouseDown(button, r.x, r.y); });
  }
  void moveTo(int x, int y) {
    pointerX_ = x;
    pointerY_ = y;
    Point r = relative();
    enter([&] { fake.desktop.sink("smallwindow").mouseMove(r.x, r.y); });
  }
  void moveBy(int dx, int dy) { moveTo(pointerX_ + dx, pointerY_ + dy); }
  void release(MouseButton button) {
    Point r = relative();
    enter([&] { fake.desktop.sink("smallwindow").mouseUp(button, r.x, r.y); });
  }
  // A pointer over the window's middle.
  void pointAtWindow() {
    pointerX_ = where().left + 1000;
    pointerY_ = where().top + 400;
  }
  void pressHere(MouseButton button) {
    pointAtWindow();
    press(button, pointerX_, pointerY_);
  }
  bool closed() { return !fake.desktop.exists("smallwindow"); }

 private:
  Point relative() {
    Rect b = where();
    return Point{pointerX_ - b.left - kFrame, pointerY_ - b.top - kFrame};
  }
  int pointerX_ = 0;
  int pointerY_ = 0;
};

// ---- lines and refresh

TEST_F(DriveWindowTest, SlotTwoAloneShowsOnTheRightOfRowOne) {
  startWith({"", "d:\\", "", "", "", ""}, 1500, 900);
  EXPECT_EQ(drive().controls.at(103).layout.name, "Label3");
  EXPECT_EQ(drive().controls.at(103).layout.rect.left, 2445);
  EXPECT_EQ(drive().controls.at(103).layout.rect.top, 75);
  EXPECT_EQ(line(103), "d: 532.00 MB");
  for (int id : {104, 105, 106, 107, 108}) EXPECT_EQ(line(id), "") << id;
  EXPECT_EQ(where().width, kOuterWidth);  // the window keeps its size
}

TEST_F(DriveWindowTest, EachSlotHasItsOwnLine) {
  freeMegabytes("e:\\", 1);
  freeMegabytes("f:\\", 2);
  freeMegabytes("g:\\", 3);
  freeMegabytes("h:\\", 4);
  startWith({"c:\\", "d:\\", "e:\\", "f:\\", "g:\\", "h:\\"}, 1500, 900);
  EXPECT_EQ(line(104), "c: 1856.25 MB");  // row 1, left
  EXPECT_EQ(line(103), "d: 532.00 MB");   // row 1, right
  EXPECT_EQ(line(105), "e: 1.00 MB");     // row 2, left
  EXPECT_EQ(line(106), "f: 2.00 MB");
  EXPECT_EQ(line(107), "g: 3.00 MB");  // row 3, left
  EXPECT_EQ(line(108), "h: 4.00 MB");
}

TEST_F(DriveWindowTest, TimerAndActivationRefreshAndAnUnchangedRefreshWritesNothing) {
  startWith({"c:\\", "d:\\", "", "", "", ""}, 1500, 900);
  EXPECT_TRUE(drive().timerRunning);
  EXPECT_EQ(drive().timerInterval, 2000u);

  int writes = drive().textWrites;
  enter([&] { fake.desktop.sink("smallwindow").timer(); });
  enter([&] { fake.desktop.sink("smallwindow").activated(); });
  EXPECT_EQ(drive().textWrites, writes);  // nothing changed, nothing written

  freeMegabytes("c:\\", 100);
  enter([&] { fake.desktop.sink("smallwindow").timer(); });
  EXPECT_EQ(line(104), "c: 100.00 MB");
  EXPECT_EQ(line(103), "d: 532.00 MB");
  EXPECT_EQ(drive().textWrites, writes + 1);  // only the line that changed

  freeMegabytes("d:\\", 200);
  enter([&] { app.aboutwindow.show(); });  // another window of the program, then back
  enter([&] { app.aboutwindow.unload(); });
  enter([&] { fake.desktop.activate(fake.desktop.handleOf("smallwindow")); });
  EXPECT_EQ(line(103), "d: 200.00 MB");
  EXPECT_EQ(drive().textWrites, writes + 2);

  // Every refresh measures anew.
  std::size_t queries = fake.disks.queries.size();
  enter([&] { fake.desktop.sink("smallwindow").timer(); });
  EXPECT_EQ(fake.disks.queries.size(), queries + 2);
}

TEST_F(DriveWindowTest, SlotEmptiedGoesBlankAtTheNextRefresh) {
  startWith({"c:\\", "d:\\", "", "", "", ""}, 1500, 900);
  app.settings.drives[0] = "";
  EXPECT_EQ(line(104), "c: 1856.25 MB");  // until the next refresh
  enter([&] { fake.desktop.sink("smallwindow").timer(); });
  EXPECT_EQ(line(104), "");
  EXPECT_EQ(line(103), "d: 532.00 MB");
  EXPECT_TRUE(drive().controls.at(104).visible);  // blank, not hidden
}

// ---- the place at load

TEST_F(DriveWindowTest, RightEdgeOnTheScreenEdgePassesAndOneTwipBeyondGoesToFiftyFifty) {
  int screen = fake.desktop.screenWidthTwips;
  startWith(kOne, screen - kOuterWidth, 900);
  EXPECT_EQ(where().left, screen - kOuterWidth);
  EXPECT_EQ(where().top, 900);

  reopenWith(kOne, screen - kOuterWidth + 1, 900);
  EXPECT_EQ(where().left, 50);
  EXPECT_EQ(where().top, 50);
  // Not written back until the next save.
  EXPECT_EQ(config(), configWith(kOne, screen - kOuterWidth + 1, 900));
}

TEST_F(DriveWindowTest, BeyondTheLeftTopOrBottomEdgeStays) {
  startWith(kOne, -3000, -500);
  EXPECT_EQ(where().left, -3000);
  EXPECT_EQ(where().top, -500);

  reopenWith(kOne, 300, 20000);  // below a 768-pixel screen
  EXPECT_EQ(where().left, 300);
  EXPECT_EQ(where().top, 20000);

  reopenWith(kOne, -32768, 32767);
  EXPECT_EQ(where().left, -32768);
  EXPECT_EQ(where().top, 32767);
}

TEST_F(DriveWindowTest, ClosedAndShownAgainReopensWhereItClosed) {
  startWith(kOne, 1500, 900);
  pressHere(MouseButton::Left);
  moveBy(300, 150);
  release(MouseButton::Left);
  ASSERT_FALSE(closed());
  ASSERT_EQ(where().left, 1800);
  ASSERT_EQ(where().top, 1050);
  pressHere(MouseButton::Left);
  release(MouseButton::Left);
  ASSERT_TRUE(closed());
  EXPECT_EQ(config(), configWith(kOne, 1800, 1050));

  // The place comes back through the file.
  app.settings.smlleft = 0;
  app.settings.smltop = 0;
  enter([&] { fake.desktop.sink("tbarw").trayMessage(0x201); });
  EXPECT_TRUE(drive().visible);
  EXPECT_EQ(where().left, 1800);
  EXPECT_EQ(where().top, 1050);
  EXPECT_TRUE(app.settings.smlshown);
  EXPECT_TRUE(drive().timerRunning);
}

// ---- clicks and drags

TEST_F(DriveWindowTest, ClickWithoutMovingClosesAndSaves) {
  startWith(kOne, 1500, 900);
  std::size_t at = events().size();
  pressHere(MouseButton::Left);
  release(MouseButton::Left);
  EXPECT_TRUE(closed());
  EXPECT_EQ(eventsSince(at), (Log{"write " + kConfig, "destroy smallwindow"}));
  EXPECT_EQ(fake.logOf({"timer smallwindow"}).back(), "timer smallwindow stop");
  EXPECT_FALSE(app.settings.smlshown);
  EXPECT_EQ(config(), configWith(kOne, 1500, 900));
  EXPECT_TRUE(fake.shell.iconPresent);
  EXPECT_FALSE(fake.ended());
}

TEST_F(DriveWindowTest, TheSystemsCloseCommandClosesLikeAClick) {
  startWith(kOne, 1500, 900);
  enter([&] { app.smallwindow.moveTo(3000, 600); });
  std::size_t at = events().size();
  enter([&] { fake.desktop.sink("smallwindow").closeRequested(); });  // Alt+F4
  EXPECT_TRUE(closed());
  EXPECT_EQ(eventsSince(at), (Log{"write " + kConfig, "destroy smallwindow"}));
  EXPECT_FALSE(app.settings.smlshown);
  EXPECT_EQ(config(), configWith(kOne, 3000, 600));
}

TEST_F(DriveWindowTest, ClickOnAMovedWindowSavesItsCurrentPlace) {
  startWith(kOne, 1500, 900);
  enter([&] { app.smallwindow.moveTo(2400, 60); });
  pressHere(MouseButton::Left);
  release(MouseButton::Left);
  EXPECT_TRUE(closed());
  EXPECT_EQ(config(), configWith(kOne, 2400, 60));
}

TEST_F(DriveWindowTest, DragByOneTwipOrOnePixelLeavesItOpen) {
  startWith(kOne, 1500, 900);
  pressHere(MouseButton::Left);
  moveBy(1, 0);
  EXPECT_EQ(where().left, 1501);
  EXPECT_EQ(where().top, 900);
  release(MouseButton::Left);
  EXPECT_FALSE(closed());
  EXPECT_EQ(where().left, 1501);

  pressHere(MouseButton::Left);
  moveBy(0, -kPixel);
  release(MouseButton::Left);
  EXPECT_FALSE(closed());
  EXPECT_EQ(where().left, 1501);
  EXPECT_EQ(where().top, 900 - kPixel);
  EXPECT_FALSE(app.smallwindow.press().gflag);
  EXPECT_EQ(fake.files.writes, 0);  // a drag saves nothing
}

TEST_F(DriveWindowTest, WindowFollowsThePointerOverManyMoves) {
  startWith(kOne, 1500, 900);
  pressHere(MouseButton::Left);
  for (int i = 0; i < 20; ++i) moveBy(kPixel, 2 * kPixel);
  EXPECT_EQ(where().left, 1500 + 20 * kPixel);
  EXPECT_EQ(where().top, 900 + 40 * kPixel);
  EXPECT_EQ(where().width, kOuterWidth);
  release(MouseButton::Left);
  EXPECT_FALSE(closed());
}

TEST_F(DriveWindowTest, DragBackToTheStartCloses) {
  startWith(kOne, 1500, 900);
  pressHere(MouseButton::Left);
  moveBy(450, -90);
  moveBy(-150, 30);
  moveBy(-300, 60);
  EXPECT_EQ(where().left, 1500);
  EXPECT_EQ(where().top, 900);
  release(MouseButton::Left);
  EXPECT_TRUE(closed());
  EXPECT_EQ(config(), configWith(kOne, 1500, 900));
}

TEST_F(DriveWindowTest, RightDragMovesThenOpensThePopupOnRelease) {
  startWith(kOne, 1500, 900);
  Rect atMenu;
  fake.desktop.onMenu.push_back([&](const Menu&) {
    atMenu = where();
    return 0;
  });
  pressHere(MouseButton::Right);
  moveBy(600, 300);
  EXPECT_TRUE(fake.desktop.menusShown.empty());  // nothing until the release
  release(MouseButton::Right);
  ASSERT_EQ(fake.desktop.menusShown.size(), 1u);
  EXPECT_EQ(fake.desktop.menusShown[0].name, "smallpopup");
  EXPECT_EQ(atMenu.left, 2100);
  EXPECT_EQ(atMenu.top, 1200);
  EXPECT_FALSE(closed());
  EXPECT_FALSE(app.smallwindow.press().gflag);
  moveBy(300, 300);  // the press is over
  EXPECT_EQ(where().left, 2100);
}

TEST_F(DriveWindowTest, MiddleClickOpensThePopup) {
  startWith(kOne, 1500, 900);
  std::size_t at = events().size();
  pressHere(MouseButton::Middle);
  release(MouseButton::Middle);
  EXPECT_EQ(eventsSince(at), Log{"popup smallpopup on smallwindow"});
  EXPECT_FALSE(closed());
  EXPECT_EQ(where().left, 1500);
}

TEST_F(DriveWindowTest, MovingWithNoButtonHeldDoesNotMove) {
  startWith(kOne, 1500, 900);
  std::size_t moves = fake.logOf({"move smallwindow"}).size();
  pointAtWindow();
  moveBy(600, 600);
  moveBy(-900, 45);
  EXPECT_EQ(where().left, 1500);
  EXPECT_EQ(where().top, 900);
  EXPECT_EQ(fake.logOf({"move smallwindow"}).size(), moves);

  // Nor after a press has been released.
  pressHere(MouseButton::Left);
  moveBy(30, 0);
  release(MouseButton::Left);
  moveBy(600, 600);
  EXPECT_EQ(where().left, 1530);
  EXPECT_EQ(where().top, 900);
}

TEST_F(DriveWindowTest, ReleaseWithoutAPressUsesTheLastPress) {
  // No press since the window was created: the last press is at 0, 0.
  startWith(kOne, 1500, 900);
  pointAtWindow();
  release(MouseButton::Left);
  EXPECT_FALSE(closed());

  reopenWith(kOne, 0, 0);
  pointAtWindow();
  release(MouseButton::Left);
  EXPECT_TRUE(closed());
  EXPECT_EQ(config(), configWith(kOne, 0, 0));

  // After a press and a drag away, the window is judged against where that press found it.
  reopenWith(kOne, 1500, 900);
  pressHere(MouseButton::Left);
  moveBy(300, 0);
  release(MouseButton::Left);
  ASSERT_FALSE(closed());
  release(MouseButton::Left);  // no press: the window is not where the last one was
  EXPECT_FALSE(closed());
  enter([&] { app.smallwindow.moveTo(1500, 900); });
  release(MouseButton::Left);
  EXPECT_TRUE(closed());

  // A release of another button without a press opens the popup.
  reopenWith(kOne, 1500, 900);
  pointAtWindow();
  release(MouseButton::Right);
  EXPECT_EQ(fake.desktop.menusShown.size(), 1u);
  EXPECT_FALSE(closed());
}

TEST_F(DriveWindowTest, PressStateGoesWithTheWindow) {
  startWith(kOne, 1500, 900);
  pressHere(MouseButton::Right);
  release(MouseButton::Right);  // the last press found the window at 1500, 900
  reopenWith(kOne, 1500, 900);
  EXPECT_EQ(app.smallwindow.press().gleft, 0);
  EXPECT_EQ(app.smallwindow.press().gtop, 0);
  pointAtWindow();
  release(MouseButton::Left);  // judged against 0, 0 of a fresh window
  EXPECT_FALSE(closed());
}

// ---- beyond sixteen bits

TEST_F(DriveWindowTest, ClickClosesAWindowBeyondSixteenBitsAndStoresNothingWrapped) {
  fake.desktop.screenWidthTwips = 3840 * kPixel;
  startWith(kOne, 1500, 900);
  enter([&] { app.smallwindow.moveTo(40000, 900); });
  pressHere(MouseButton::Left);
  EXPECT_EQ(app.smallwindow.press().gleft, 32767);
  release(MouseButton::Left);
  EXPECT_TRUE(closed());
  EXPECT_EQ(config(), configWith(kOne, 32767, 900));
  EXPECT_EQ(app.settings.smlleft, 32767);
  EXPECT_FALSE(fake.ended());

  // And far up and left.
  reopenWith(kOne, 1500, 900);
  enter([&] { app.smallwindow.moveTo(-40000, -33000); });
  pressHere(MouseButton::Left);
  release(MouseButton::Left);
  EXPECT_TRUE(closed());
  EXPECT_EQ(config(), configWith(kOne, -32768, -32768));
}

TEST_F(DriveWindowTest, DragCarriesTheWindowPastSixteenBits) {
  // Two wide screens side by side: the window may be dragged well past 32767 twips.
  fake.desktop.screenWidthTwips = 3840 * kPixel;
  startWith(kOne, 30000, 900);
  pressHere(MouseButton::Left);
  for (int i = 0; i < 40; ++i) moveBy(10 * kPixel, 0);
  EXPECT_EQ(where().left, 36000);
  release(MouseButton::Left);
  EXPECT_FALSE(closed());
  EXPECT_FALSE(fake.ended());
}

TEST_F(DriveWindowTest, DragOfAWindowBeyondSixteenBitsLeavesItOpen) {
  fake.desktop.screenWidthTwips = 3840 * kPixel;
  startWith(kOne, 1500, 900);
  enter([&] { app.smallwindow.moveTo(40000, 900); });
  pressHere(MouseButton::Left);
  moveBy(kPixel, 0);
  EXPECT_EQ(where().left, 40000 + kPixel);
  release(MouseButton::Left);
  EXPECT_FALSE(closed());
  EXPECT_FALSE(fake.ended());
}

// ---- popup entries that unload the window while it is being released

TEST_F(DriveWindowTest, HideFromThePopupDuringTheReleaseLeavesTheWindowGone) {
  startWith(kOne, 1500, 900);
  whenMenu(TrayWindow::hidemen);
  pressHere(MouseButton::Right);
  moveBy(150, 75);
  release(MouseButton::Right);
  EXPECT_TRUE(closed());
  EXPECT_FALSE(app.smallwindow.loaded());
  EXPECT_EQ(fake.logOf({"create smallwindow"}).size(), 1u);  // nothing brought it back
  EXPECT_EQ(config(), configWith(kOne, 1650, 975));
  EXPECT_FALSE(app.settings.smlshown);
  EXPECT_FALSE(fake.ended());

  // The window comes back fresh where it was hidden.
  enter([&] { fake.desktop.sink("tbarw").trayMessage(0x201); });
  EXPECT_EQ(where().left, 1650);
  EXPECT_EQ(where().top, 975);
  EXPECT_FALSE(app.smallwindow.press().gflag);
  EXPECT_EQ(app.smallwindow.press().gleft, 0);
}

TEST_F(DriveWindowTest, QuitFromThePopupDuringTheReleaseEndsCleanly) {
  startWith(kOne, 1500, 900);
  whenMenu(TrayWindow::quitmen);
  pressHere(MouseButton::Middle);
  moveBy(-150, 0);
  release(MouseButton::Middle);
  EXPECT_TRUE(fake.ended());
  EXPECT_EQ(*fake.process.endedWith, 0);
  EXPECT_TRUE(fake.desktop.messages.empty());
  EXPECT_EQ(fake.desktop.windowCount(), 0);
  EXPECT_EQ(fake.logOf({"create smallwindow"}).size(), 1u);
  EXPECT_EQ(config(), configWith(kOne, 1350, 900));
  EXPECT_FALSE(fake.shell.iconPresent);
}

}  // namespace
}  // namespace kv
