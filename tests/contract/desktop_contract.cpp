// What the program relies on the desktop port to do (its windows, controls, menus, modal windows,
// message boxes, timers and the system's events), stated once for every implementation.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>

#include "contract/worlds.h"

namespace kv::contract {
namespace {

enum Id { Go = 101, Box, Link, Frame, Note, Drives, About, Banner, Copy = 201, Unseen, First = 301, Second };

// Every event as a line, with the state of the screen where an event must find it so.
struct Heard : WindowEvents {
  std::vector<std::string> lines;
  std::function<void()> onActivated, onClose;
  void add(std::string line) { lines.push_back(std::move(line)); }
  static std::string at(int x, int y) { return " " + std::to_string(x) + "," + std::to_string(y); }
  static char letter(MouseButton b) { return b == MouseButton::Left ? 'L' : b == MouseButton::Right ? 'R' : 'M'; }
  void mouseDown(MouseButton b, int x, int y) override { add(std::string("down ") + letter(b) + at(x, y)); }
  void mouseMove(int x, int y) override { add("move" + at(x, y)); }
  void mouseUp(MouseButton b, int x, int y) override { add(std::string("up ") + letter(b) + at(x, y)); }
  void controlClicked(int id) override { add("clicked " + std::to_string(id)); }
  void released(int id, MouseButton b) override { add("released " + std::to_string(id) + letter(b)); }
  void menuChosen(int id) override { add("menu " + std::to_string(id)); }
  void activated() override { add("activated"), onActivated ? onActivated() : void(); }
  void timer() override { add("timer"); }
  void rescaled() override { add("rescaled"); }
  void desktopChanged() override { add("desktop"); }
  void sessionEnding() override { add("session"); }
  void closeRequested() override { add("close"), onClose ? onClose() : void(); }
  void helpKey() override { add("help"); }
  void taskbarCreated() override { add("taskbar"); }
  void drivesChanged() override { add("drives"); }
  bool has(const std::string& line) const { return std::count(lines.begin(), lines.end(), line) > 0; }
};

WindowLayout windowLayout(WindowStyle style, int width = 4500, int height = 2250) {
  WindowLayout w;
  w.name = style == WindowStyle::Dialog ? "contractdialog" : "contractplain";
  w.caption = "Contract";
  w.style = style;
  w.clientWidth = width, w.clientHeight = height;
  w.back = {0, 0, 128};
  auto& c = w.controls;  // in tab order
  addControl(c, Banner, ControlKind::Picture, "Banner", {0, 0, 4500, 900}).image = Image::AboutBanner;
  addControl(c, Go, ControlKind::Button, "Go", {150, 150, 1200, 375}, "&Go");
  addControl(c, Box, ControlKind::CheckBox, "Box", {150, 600, 1800, 300}, "Every drive");
  ControlLayout& link = addControl(c, Link, ControlKind::Label, "Link", {2100, 150, 2100, 300}, "Zo\xeb");
  link.forwardsMouse = true, link.fore = {255, 255, 0}, link.back = {128, 0, 0};
  addControl(c, Frame, ControlKind::Frame, "Frame", {2100, 600, 2250, 1050}, "Drives");
  ControlLayout& note = addControl(c, Note, ControlKind::Label, "Note", {150, 300, 1500, 450}, "c: 1856.00 MB", Frame);
  note.font = {"Arial", 12}, note.fore = {0, 255, 255}, note.transparentBack = true;
  addControl(c, Drives, ControlKind::DriveList, "Drives", {150, 1050, 1800, 315});
  addControl(c, About, ControlKind::TextBox, "About", {150, 1500, 1800, 600}, "Kestrovan '99\r\n\r\nfree space");
  w.menuBar = {Menu{"filemenu",
                    "&File",
                    {menuEntry(Copy, "copymenu", "&Copy", "Ctrl+C"), menuEntry(Unseen, "unseen", "&Unseen", "F2")}}};
  w.menuBar[0].entries[1].visible = false;
  return w;
}

ControlLayout& control(WindowLayout& w, int id) {
  return *std::find_if(w.controls.begin(), w.controls.end(), [id](const ControlLayout& c) { return c.id == id; });
}

class DesktopContract : public ::testing::Test {
 protected:
  Heard heard, other;  // before the world: they outlive its windows
  std::unique_ptr<DesktopWorld> world = makeDesktopWorld();
  Desktop& desktop = world->desktop();
  const int pixel = world->twipsPerPixel();
  WindowHandle made(Heard& sink, WindowStyle style = WindowStyle::Dialog) {
    return desktop.create(windowLayout(style), sink);
  }
  void expectPlace(const Rect& got, const Rect& want, const std::string& what) {
    EXPECT_LE(std::max({std::abs(got.left - want.left), std::abs(got.top - want.top), std::abs(got.width - want.width),
                        std::abs(got.height - want.height)}),
              pixel - 1)  // rounded to pixels, never a pixel off
        << what << ": " << got.left << "," << got.top << " " << got.width << "x" << got.height;
  }
};

TEST_F(DesktopContract, AWindowIsMadeHiddenShownActiveAndGoneWhenDestroyed) {
  Heard quiet;
  WindowLayout hidden;
  hidden.name = "contracttray", hidden.style = WindowStyle::Hidden;
  const WindowHandle tray = desktop.create(hidden, quiet);
  const int objects = world->gdiObjects(tray);
  const WindowHandle h = made(heard);
  EXPECT_FALSE(world->visible(h));
  EXPECT_GT(world->gdiObjects(tray), objects) << "its fonts and brushes are not counted";
  const Rect at = desktop.bounds(h), work = world->workArea();
  expectPlace(at,
              {work.left + (work.width - at.width) / 2, work.top + (work.height - at.height) / 2, at.width, at.height},
              "a dialog is made in the middle of the work area");
  desktop.show(h);
  EXPECT_TRUE(world->runUntil([&] { return heard.has("activated"); }));
  EXPECT_TRUE(world->visible(h));
  EXPECT_EQ(world->active(), h);
  EXPECT_TRUE(world->programsIcon(desktop.iconHandle(h)));
  for (IconHandle icon : world->windowIcons(h)) EXPECT_TRUE(world->programsIcon(icon));
  // The first focus is on the first control that takes the tab key, here the picture: a key
  // pressed as the window opens presses nothing. A control hidden hands the focus on.
  EXPECT_EQ(world->focused(h), Banner);
  desktop.setVisible(h, Banner, false);
  EXPECT_EQ(world->focused(h), Go);
  world->click(h, Box);
  const WindowHandle second = made(other, WindowStyle::Borderless);
  desktop.show(second);
  EXPECT_TRUE(world->runUntil([&] { return world->active() == second; }));
  desktop.bringToFront(h);
  EXPECT_TRUE(world->runUntil([&] { return world->active() == h; })) << "brought to the front";
  EXPECT_EQ(world->focused(h), Box) << "the focus back where the user left it";
  desktop.hide(h);
  EXPECT_FALSE(world->visible(h));
  desktop.destroy(h);
  EXPECT_FALSE(world->exists(h));
  desktop.destroy(second);
  EXPECT_EQ(world->gdiObjects(tray), objects) << "the windows gone, their drawing objects are not";
  EXPECT_EQ(world->windowsKept(), 1) << "a window made and destroyed for years leaves a record each time";
}

// Buttons, boxes and lists look as the system's theme draws them; a window of labels alone (the
// drive window) is made of the system's plain labels, which draw the same without the common controls.
TEST_F(DesktopContract, AWindowWithButtonsIsThemedAndOneOfLabelsAloneIsPlain) {
  const WindowHandle h = made(heard);
  WindowLayout lines = windowLayout(WindowStyle::Borderless);
  lines.controls = {control(lines, Link)};
  const WindowHandle plain = desktop.create(lines, other);
  EXPECT_TRUE(world->themed(h, Go) && world->themed(h, Box) && world->themed(h, Drives));
  EXPECT_FALSE(world->themed(plain, Link));
}

TEST_F(DesktopContract, ControlsStandAtTheirLayoutAndShowWhatTheProgramSets) {
  const WindowHandle h = made(heard);
  WindowLayout layout = windowLayout(WindowStyle::Dialog);
  expectPlace(world->clientArea(h), {0, 0, layout.clientWidth, layout.clientHeight}, "client area");
  for (const ControlLayout& c : layout.controls) {
    const Rect frame = c.parent ? control(layout, Frame).rect : Rect{};
    expectPlace(world->controlPlace(h, c.id),
                {c.rect.left + frame.left, c.rect.top + frame.top, c.rect.width, c.rect.height}, c.name);
    EXPECT_EQ(world->text(h, c.id), c.kind == ControlKind::DriveList ? "" : c.text) << c.name;
    if (c.kind != ControlKind::Label) continue;
    const Font font = world->drawnFont(h, c.id);
    EXPECT_NEAR(font.points, c.font.points, 0.75) << c.name;
    EXPECT_TRUE(font.face == c.font.face || (c.font.face == "MS Sans Serif" && font.face == "Microsoft Sans Serif"))
        << font.face;
    const auto rgb = [](Colour c) { return std::vector<int>{c.r, c.g, c.b}; };
    EXPECT_EQ(rgb(world->colour(h, c.id, true)), rgb(c.fore)) << c.name;
    EXPECT_EQ(rgb(world->colour(h, c.id, false)), rgb(c.transparentBack ? layout.back : c.back)) << c.name;
    EXPECT_EQ(rgb(world->colour(h, 0, false)), rgb(layout.back)) << "the window's background";
  }
  EXPECT_TRUE(world->above(h, Note, Frame)) << "the frame paints over what it holds";
  EXPECT_EQ(world->menuShown(h), (std::vector<std::string>{"&File", "&Copy\tCtrl+C"}));
  desktop.setText(h, Note, "d: 0.00 MB");
  desktop.setVisible(h, Note, false);
  desktop.setChecked(h, Box, true);
  EXPECT_EQ(world->text(h, Note), "d: 0.00 MB");
  EXPECT_FALSE(world->visible(h, Note));
  EXPECT_TRUE(world->visible(h, Link));
  EXPECT_TRUE(world->checked(h, Box));
  desktop.setVisible(h, Note, true), desktop.setChecked(h, Box, false);
  EXPECT_TRUE(world->visible(h, Note));
  EXPECT_FALSE(world->checked(h, Box));

  const std::vector<std::string> drives = {"c: [system]", "d: [data \xe9t\xe9]", "z:"};
  const struct {
    int current, picked;
    std::string shown;
  } lists[] = {{1, -1, drives[1]}, {-1, -1, ""}, {0, 2, "z:"}};
  for (const auto& list : lists) {
    desktop.setItems(h, Drives, drives, list.current);
    if (list.picked >= 0) world->pick(h, Drives, list.picked);
    EXPECT_EQ(desktop.currentItem(h, Drives), list.shown) << list.current << " " << list.picked;
  }
}

TEST_F(DesktopContract, AWindowGoesWhereItIsMovedOnTheMonitorsAndKeepsItsPlaceWhenLaidOutAnew) {
  int frames[2] = {};
  for (WindowStyle style : {WindowStyle::Borderless, WindowStyle::Dialog}) {
    const WindowHandle h = made(heard, style);
    for (auto [left, top] : {std::pair{1500, 1200}, {-3000, 600}, {30000, 30000}}) {
      desktop.moveTo(h, left, top);
      const Rect b = desktop.bounds(h);
      EXPECT_EQ(std::pair(b.left, b.top), std::pair(left, top));
      EXPECT_GE(b.width, 4500);
      frames[style == WindowStyle::Dialog] = b.height - world->clientArea(h).height;
    }
    WindowLayout wider = windowLayout(style, 6000, 3000);
    control(wider, Go).rect = {3000, 2250, 1500, 450};
    desktop.relayout(h, wider);
    expectPlace(world->clientArea(h), {0, 0, 6000, 3000}, "laid out anew");
    expectPlace(world->controlPlace(h, Go), control(wider, Go).rect, "the button laid out anew");
    const Rect frame = control(wider, Frame).rect, note = control(wider, Note).rect;
    expectPlace(world->controlPlace(h, Note), {frame.left + note.left, frame.top + note.top, note.width, note.height},
                "a control in its frame laid out anew");
    EXPECT_EQ(std::pair(desktop.bounds(h).left, desktop.bounds(h).top), std::pair(30000, 30000));
    for (bool on : {true, false}) {
      desktop.setTopmost(h, on);
      EXPECT_EQ(world->topmost(h), on);
    }
  }
  EXPECT_GT(frames[1], frames[0]) << "a dialog's caption bar";
  const std::vector<Rect> monitors = desktop.monitors();  // the primary first, at the origin
  ASSERT_FALSE(monitors.empty());
  EXPECT_EQ(std::pair(monitors[0].left, monitors[0].top), std::pair(0, 0));
  EXPECT_TRUE(monitors[0].width >= 640 * pixel && monitors[0].height >= 480 * pixel);
}

// A text measures the width its control draws it at. Drawn at another DPI, a window is as large on
// the desktop as its twips make it there, its texts measure and draw the same twips in fonts made
// for that DPI (the bitmap face of the layouts too: it is drawn in a face that scales), its picture
// grows as much, and it holds no more drawing objects once back.
TEST_F(DesktopContract, TextsMeasureAsDrawnAndAWindowDrawnAtAnotherDpiIsLaidOutAnewAtItsTwips) {
  const WindowHandle h = made(heard);
  WindowLayout layout = windowLayout(WindowStyle::Dialog);
  const std::string texts[] = {"", "i", "c: 1856.00 MB", "WWWWWWWW", "Zo\xeb y: 1907348.63 MB"};
  std::map<std::pair<std::string, int>, int> width;  // at 96 DPI, by text and control
  for (const std::string& text : texts)
    for (int id : {Note, Link}) width[{text, id}] = desktop.textWidth(h, control(layout, id).font, text);
  EXPECT_GT((width[{texts[4], Note}]), 1500);
  const int objects = world->gdiObjects(h);
  const Rect banner = world->imageSize(h, Banner), at = desktop.bounds(h);
  EXPECT_GT(banner.width, 0);
  bool asMade = true;
  for (int dpi : {96, 120, 168, 144, 192, 96}) {
    if (!std::exchange(asMade, false)) {
      heard.lines.clear();
      world->rescale(h, dpi);
      EXPECT_TRUE(world->runUntil([&] { return heard.has("rescaled"); })) << dpi;
    }
    EXPECT_EQ(std::pair(desktop.bounds(h).left, desktop.bounds(h).top), std::pair(at.left, at.top))
        << "its place in the desktop's twips at " << dpi;
    expectPlace(world->clientArea(h), {0, 0, 4500 * dpi / 96, 2250 * dpi / 96},
                "the client area at " + std::to_string(dpi));
    expectPlace(world->controlPlace(h, Go), {150 * dpi / 96, 150 * dpi / 96, 1200 * dpi / 96, 375 * dpi / 96}, "Go");
    for (const std::string& text : texts)
      for (int id : {Note, Link}) {
        desktop.setText(h, id, text);
        const int now = desktop.textWidth(h, control(layout, id).font, text), then = width[{text, id}];
        if (text == texts[4]) {  // a figure's width is the same twips; a short text's is the face's hinting
          EXPECT_NEAR(now, then, then / 10) << control(layout, id).font.face << " at " << dpi;
        }
        EXPECT_NEAR(now * dpi / 96, world->drawnWidth(h, id), pixel) << text << " at " << dpi;
        EXPECT_EQ(now == 0, text.empty()) << text;
      }
    expectPlace(world->imageSize(h, Banner), {0, 0, banner.width * dpi / 96, banner.height * dpi / 96}, "the picture");
  }
  EXPECT_GT(objects, 0);
  EXPECT_EQ(world->gdiObjects(h), objects);
}

// Each banner is its own design, drawn for the window's DPI: at 96 and 144 DPI the picture the
// program ships, but for a step of rounding in a colour.
TEST_F(DesktopContract, EachBannerShowsItsOwnDesignDrawnForTheWindowsDpi) {
  for (Image image : {Image::AboutBanner, Image::OptionsBanner}) {
    WindowLayout layout = windowLayout(WindowStyle::Dialog);
    control(layout, Banner).image = image;
    const WindowHandle h = desktop.create(layout, heard);
    for (int dpi : {96, 144}) {
      if (dpi != 96) {
        heard.lines.clear();
        world->rescale(h, dpi);
        EXPECT_TRUE(world->runUntil([&] { return heard.has("rescaled"); })) << dpi;
      }
      const std::vector<unsigned char> drawn = world->picture(h, Banner), shipped = world->shippedPicture(image, dpi);
      if (shipped.empty()) GTEST_SKIP() << "this world draws no pictures";
      ASSERT_EQ(drawn.size(), shipped.size()) << dpi;
      std::size_t off = 0;
      for (std::size_t i = 0; i < drawn.size(); ++i) off += std::abs(drawn[i] - shipped[i]) > 1;
      EXPECT_EQ(off, 0u) << "bytes of the picture unlike the design at " << dpi << " DPI";
    }
    desktop.destroy(h);
  }
}

TEST_F(DesktopContract, PointerEventsComeInTwipsOfTheClientAreaAndEndInARelease) {
  const WindowHandle h = made(heard);
  desktop.show(h);
  const Rect link = world->controlPlace(h, Link);
  const struct {
    int control;
    MouseButton button;
    std::vector<std::string> lines;
  } rows[] = {
      {0,
       MouseButton::Left,
       {"down L" + Heard::at(30 * pixel, 40 * pixel), "move" + Heard::at(50 * pixel, 20 * pixel),
        "up L" + Heard::at(50 * pixel, 20 * pixel), "released 0L"}},
      {Link,
       MouseButton::Right,
       {"down R" + Heard::at(link.left + 30 * pixel, link.top + 40 * pixel),
        "move" + Heard::at(link.left + 50 * pixel, link.top + 20 * pixel),
        "up R" + Heard::at(link.left + 50 * pixel, link.top + 20 * pixel), "released 103R"}},
      {Note, MouseButton::Left, {"released 105L"}},  // a control that keeps its pointer to itself
  };
  for (const auto& row : rows) {
    world->runUntil([] { return false; }, 50);
    heard.lines.clear();
    world->pointer(h, row.control, Pointer::Down, row.button, 30 * pixel, 40 * pixel);
    world->pointer(h, row.control, Pointer::Move, row.button, 50 * pixel, 20 * pixel);
    world->pointer(h, row.control, Pointer::Up, row.button, 50 * pixel, 20 * pixel);
    EXPECT_TRUE(world->runUntil([&] { return heard.lines.size() >= row.lines.size(); }));
    EXPECT_EQ(heard.lines, row.lines) << row.control;
  }
}

TEST_F(DesktopContract, ButtonsAndCheckBoxesTellClicksKeysTheirShortcutsAndF1AsksForHelp) {
  const WindowHandle h = made(heard);
  desktop.show(h);
  const struct {
    std::function<void()> act;
    std::string line;
  } rows[] = {
      {[&] { world->click(h, Go); }, "clicked 101"},
      {[&] { world->click(h, Box); }, "clicked 102"},
      {[&] { world->press(h, "Ctrl+C"); }, "menu 201"},
      {[&] { world->inNextMenu([] {}, 'C'), world->press(h, "Alt+F"); }, "menu 201"},  // the menu bar's access key
      {[&] { world->press(h, "F1"); }, "help"},
      {[&] { world->press(h, "F1 unfocused"); }, "help"},
      {[&] { world->close(h); }, "close"},
  };
  for (const auto& row : rows) {
    heard.lines.clear();
    row.act();
    EXPECT_TRUE(world->runUntil([&] { return heard.has(row.line); })) << row.line;
  }
  EXPECT_FALSE(world->checked(h, Box)) << "the program alone checks its boxes";
  EXPECT_TRUE(world->visible(h)) << "the close box alone closes nothing";
  heard.lines.clear();
  world->press(h, "Enter"), world->press(h, "Esc"), world->press(h, "F2");
  world->runUntil([] { return false; }, 300);
  EXPECT_EQ(heard.lines, std::vector<std::string>{}) << "Enter, Esc or a hidden entry's shortcut did something";
}

TEST_F(DesktopContract, APopupMenuMakesItsOwnerActiveAndReturnsTheEntryChosen) {
  const WindowHandle owner = made(heard, WindowStyle::Borderless);
  Menu menu{"contractmenu",
            "",
            {menuEntry(First, "firstmenu", "&First"), menuSeparator("bar1"),
             menuEntry(Second, "secondmenu", "&Second", "F1")}};
  menu.entries.insert(menu.entries.begin(), menuEntry(999, "hiddenmenu", "&Hidden"));
  menu.entries[0].visible = false;
  const Rect work = world->workArea();
  int round = 0;
  for (auto [letter, chosen] : {std::pair{'S', int{Second}}, {'F', int{First}}, {'\0', 0}}) {
    // The menu opens where the pointer is, as the tray's does where the icon was clicked.
    const Point pointer{work.left + work.width / (4 + round), work.top + work.height / (3 + round++)};
    world->pointTo(pointer);
    WindowHandle activeDuring = 0;
    std::vector<std::string> shown;
    Point corner;
    world->inNextMenu([&] { activeDuring = world->active(), shown = world->menuShown(), corner = world->menuCorner(); },
                      letter);
    EXPECT_EQ(desktop.popupMenu(owner, menu), chosen) << letter;
    EXPECT_EQ(activeDuring, owner) << "the menu's owner is not the foreground window";
    EXPECT_EQ(shown, (std::vector<std::string>{"&First", "-", "&Second\tF1"}));
    EXPECT_NEAR(corner.x, pointer.x, world->twipsPerPixel()) << letter;
    EXPECT_NEAR(corner.y, pointer.y, world->twipsPerPixel()) << letter;
  }
}

// Closed, the modal window is hidden (kept for later) or destroyed (unloaded) inside its loop.
TEST_F(DesktopContract, AModalWindowKeepsItsOwnerFromInputUntilItCloses) {
  for (const bool destroyed : {false, true}) {
    const WindowHandle owner = made(other, WindowStyle::Borderless), modal = made(heard);
    desktop.show(owner);
    bool open = true;
    heard.onClose = [&] { open = false, destroyed ? desktop.destroy(modal) : desktop.hide(modal); };
    world->inNextModal(modal, [&] {
      EXPECT_TRUE(world->visible(modal));
      EXPECT_EQ(world->active(), modal);
      EXPECT_FALSE(world->takesInput(owner));
      EXPECT_EQ(world->ownerOf(modal), owner) << "the modal window may go behind its owner";
    });
    desktop.runModal(modal, owner, [&] { return open; });
    EXPECT_EQ(world->ownerOf(modal), 0u) << "shown again, the window would stay above the owner of its modal showing";
    EXPECT_FALSE(open) << "the modal loop ended before its window closed";
    EXPECT_TRUE(world->takesInput(owner));
    EXPECT_TRUE(world->runUntil([&] { return world->active() == owner; }))
        << "the owner is not active again " << destroyed;
  }
}

TEST_F(DesktopContract, AMessageBoxKeepsEveryWindowFromInputAndGivesItBackBeforeTheOwnerIsActive) {
  const WindowHandle owner = made(heard, WindowStyle::Borderless), bystander = made(other);
  desktop.show(bystander), desktop.show(owner);
  world->runUntil([&] { return world->active() == owner; });
  const std::string text = "Kestrovan '99 could not save C:\\Zo\xc3\xab\\kv99.cfg.", caption = "Kestrovan \xe2\x80\x99";
  desktop.startTimer(bystander, 50);
  world->inNextBox([&] {
    other.lines.clear();
    EXPECT_TRUE(desktop.messageBoxUp());
    EXPECT_NE(world->boxText().find(text), std::string::npos) << world->boxText();
    EXPECT_NE(world->boxText().find(caption), std::string::npos) << world->boxText();
    EXPECT_FALSE(world->takesInput(owner));
    EXPECT_FALSE(world->takesInput(bystander));
    world->click(bystander, Go);  // dropped: nothing of the program runs under the box
    world->rescale(owner, 120), world->tell(owner, SystemEvent::TaskbarCreated);
    EXPECT_TRUE(world->runUntil([&] { return heard.has("rescaled") && heard.has("taskbar"); }))
        << "a new DPI or taskbar is heard under the box too";
    world->switchAway();
    EXPECT_FALSE(world->boxInFront());
    world->pointer(bystander, 0, Pointer::Down, MouseButton::Left, 150, 150);
    EXPECT_TRUE(world->runUntil([&] { return world->boxInFront(); }, 2000))
        << "a press on the program brings the box up";
    EXPECT_FALSE(world->runUntil([&] { return other.has("timer"); }, 300)) << "a timer's tick under the box";
  });
  bool wholeWhenActivated = false;
  heard.onActivated = [&] { wholeWhenActivated = world->takesInput(bystander) && !desktop.messageBoxUp(); };
  desktop.messageBox(owner, text, caption);
  desktop.stopTimer(bystander);
  EXPECT_TRUE(world->runUntil([&] { return world->active() == owner; }));
  EXPECT_TRUE(wholeWhenActivated) << "the owner was activated before the program took input again";
  EXPECT_TRUE(world->takesInput(owner) && world->takesInput(bystander));
  EXPECT_FALSE(other.has("clicked 101"));
}

TEST_F(DesktopContract, AMessageBoxWithoutAnOwnerKeepsEveryWindowFromInput) {
  made(other, WindowStyle::Hidden);
  const WindowHandle shown = made(heard);
  desktop.show(shown);
  world->inNextBox([&] {
    EXPECT_NE(world->boxText().find("no browser"), std::string::npos) << world->boxText();
    EXPECT_FALSE(world->takesInput(shown));
  });
  desktop.messageBox(0, "Error: no browser found.", "Kestrovan");
  EXPECT_TRUE(world->takesInput(shown));
  EXPECT_FALSE(desktop.messageBoxUp());
}

TEST_F(DesktopContract, ATimerFiresAtItsPeriodUntilStopped) {
  const WindowHandle h = made(heard, WindowStyle::Borderless);
  const auto ticks = [&] { return std::count(heard.lines.begin(), heard.lines.end(), "timer"); };
  desktop.startTimer(h, 50);
  EXPECT_TRUE(world->runUntil([&] { return ticks() >= 3; }, 3000));
  desktop.stopTimer(h);
  const auto stopped = ticks();
  EXPECT_FALSE(world->runUntil([&] { return ticks() > stopped; }, 300));
}

TEST_F(DesktopContract, TheSystemsEventsReachTheWindow) {
  const WindowHandle h = made(heard, WindowStyle::Borderless);
  const struct {
    SystemEvent event;
    std::string line;
  } rows[] = {{SystemEvent::TaskbarCreated, "taskbar"}, {SystemEvent::DisplayChanged, "desktop"},
              {SystemEvent::SessionGoesOn, ""},         {SystemEvent::SessionEnds, "session"},
              {SystemEvent::DriveArrived, "drives"},    {SystemEvent::PortArrived, ""},
              {SystemEvent::DriveRemoved, "drives"},    {SystemEvent::RemovalAsked, ""}};
  for (const auto& row : rows) {
    heard.lines.clear();
    world->tell(h, row.event);
    world->runUntil([&] { return !heard.lines.empty(); }, row.line.empty() ? 100 : 5000);
    EXPECT_EQ(heard.lines, row.line.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.line});
  }
}

}  // namespace
}  // namespace kv::contract
