#include "ui/smallwindow.h"

namespace kv {

WindowLayout SmallWindow::describe() const {
  WindowLayout w;
  w.name = "smallwindow";
  w.style = WindowStyle::Borderless;
  w.clientWidth = 4605;
  w.clientHeight = 1095;
  w.back = Colour{0, 0, 0};
  w.helpTopic = kHelpDriveWindow;
  const Point places[6] = {{90, 75}, {2445, 75}, {90, 405}, {2445, 405}, {90, 735}, {2445, 735}};
  for (int slot = 0; slot < kSlots; ++slot) {
    const int id = kSlotLine[slot];
    ControlLayout& line = addControl(w.controls, id, ControlKind::Label, "Label" + std::to_string(id - 100),
                                     Rect{places[slot].x, places[slot].y, 1740, 300});
    line.font = Font{"MS Sans Serif", 12};
    line.fore = Colour{224, 224, 224};
    line.back = Colour{0, 0, 0};
    line.forwardsMouse = true;
  }
  return w;
}

void SmallWindow::onLoad(const LoadTicket& ticket) {
  Settings& s = program_.settings;
  program_.loadcfg();
  if (!ticket.valid()) return;
  desktop().startTimer(handle(), kRefreshMilliseconds);
  refall();
  press_.gflag = false;
  moveTo(s.smlleft, s.smltop);
  Rect b = bounds();
  if (b.left + b.width > desktop().screenWidth()) moveTo(50, 50);
  program_.smlontop();
  s.smlshown = true;
}

void SmallWindow::refall() {
  // Each line gets its final text at once, so a refresh that changes nothing repaints nothing.
  for (int slot = 0; slot < kSlots; ++slot) {
    std::string& drive = program_.settings.drives[slot];
    setText(kSlotLine[slot], drive.empty() ? std::string() : program_.space.longfree(drive));
  }
}

void SmallWindow::endsml() {
  unsigned generation = loadGeneration();
  program_.savecfg(*this);
  // The save's message box may have let this window go; it is not loaded again to be closed.
  if (!loaded() || loadGeneration() != generation) return;
  desktop().stopTimer(handle());
  program_.settings.smlshown = false;
  unload();
}

void SmallWindow::gdown(int x, int y) {
  Rect b = bounds();
  press_.gflag = true;
  press_.gx = clamp16(x);
  press_.gy = clamp16(y);
  press_.gleft = clamp16(b.left);
  press_.gtop = clamp16(b.top);
  press_.left = b.left;
  press_.top = b.top;
}

void SmallWindow::gmove(int x, int y) {
  if (!press_.gflag) return;
  Rect b = bounds();
  moveTo(b.left + (x - press_.gx), b.top + (y - press_.gy));
}

void SmallWindow::smlmenu(int button) {
  unsigned generation = loadGeneration();
  if (button == static_cast<int>(MouseButton::Left)) {
    Rect b = bounds();
    if (b.left == press_.left && b.top == press_.top) endsml();
  } else {
    program_.popupDriveWindowMenu();
  }
  if (loaded() && loadGeneration() == generation) press_.gflag = false;
}

}  // namespace kv
