#include "ui/drive_window.h"

#include <algorithm>
#include <vector>

namespace kv {

namespace {
const Font kLineFont{"MS Sans Serif", 12};
// Room beyond the measured text, so that rounding to whole pixels never cuts its last one.
constexpr int kLineSlack = 30;
// The columns: the left line's edge, the gap between the two lines, the margin after the right one.
constexpr int kLeftEdge = 90, kColumnGap = 615, kRightMargin = 420;

// The right edge of the whole desktop, all monitors together: on one monitor, the screen's.
int desktopRight(const std::vector<Rect>& monitors) {
  int right = monitors.front().right();
  for (const Rect& m : monitors) right = std::max(right, m.right());
  return right;
}

bool onSomeMonitor(const Rect& window, const std::vector<Rect>& monitors) {
  return std::any_of(monitors.begin(), monitors.end(), [&](const Rect& m) { return m.overlaps(window); });
}
}  // namespace

DriveWindow::DriveWindow(FormHost& host, Program& program) : Form(host), program_(program) {
  menu_.name = "smallpopup";
  menu_.caption = "smallpopup";
  menu_.entries = {menuEntry(Hide, "hidemen", "&Hide"),    menuEntry(Options, "optmenu", "&Options"),
                   menuEntry(About, "aboutmen", "&About"), menuSeparator("sep3"),
                   menuEntry(Help, "helpmen2", "&Help"),   menuEntry(Quit, "quitmen", "&Quit")};
}

WindowLayout DriveWindow::describe() const {
  WindowLayout w;
  w.name = "smallwindow";
  w.style = WindowStyle::Borderless;
  w.clientWidth = kLeftEdge + lineWidth_ + kColumnGap + lineWidth_ + kRightMargin;  // 4605 at the narrowest
  w.clientHeight = 1095;
  w.back = Colour{0, 0, 0};
  w.helpTopic = kHelpDriveWindow;
  const int right = kLeftEdge + lineWidth_ + kColumnGap;  // 2445 at the narrowest
  const Point places[kSlots] = {{kLeftEdge, 75}, {right, 75},      {kLeftEdge, 405},
                                {right, 405},    {kLeftEdge, 735}, {right, 735}};
  for (int slot = 0; slot < kSlots; ++slot) {
    const int id = kSlotLine[slot];
    ControlLayout& line = addControl(w.controls, id, ControlKind::Label, "Label" + std::to_string(id - 100),
                                     Rect{places[slot].x, places[slot].y, lineWidth_, 300});
    line.font = kLineFont;
    line.fore = Colour{224, 224, 224};
    line.back = Colour{0, 0, 0};
    line.forwardsMouse = true;
  }
  return w;
}

void DriveWindow::loadAt(Point place) {
  place_ = place;
  load();
}

void DriveWindow::onLoad(const LoadTicket&) {
  desktop().startTimer(handle(), kRefreshMilliseconds);
  program_.refresh();
  press_.gflag = false;
  moveTo(place_.x, place_.y);
  // Past the desktop's right edge, by however little, or where no monitor shows any part of it
  // (a monitor since gone): into view. A window partly off the top, left or bottom stays.
  const std::vector<Rect> monitors = desktop().monitors();
  const Rect b = bounds();
  if (b.right() > desktopRight(monitors) || !onSomeMonitor(b, monitors)) bringIntoView(monitors);
  program_.driveWindowLoaded();
}

void DriveWindow::bringIntoView(const std::vector<Rect>& monitors) {
  const Rect& primary = monitors.front();
  moveTo(primary.left + kPlaceInView.x, primary.top + kPlaceInView.y);
}

void DriveWindow::desktopChanged() {
  const std::vector<Rect> monitors = desktop().monitors();
  if (!onSomeMonitor(bounds(), monitors)) bringIntoView(monitors);
}

void DriveWindow::resetState() {
  press_ = Press{};
  lineWidth_ = kLineWidth;
  lines_ = {};
  measuredText_ = {};
  measuredWidth_ = {};
}

void DriveWindow::refall(const DriveSlots& lines) {
  lines_ = lines;
  int widest = 0;
  for (int slot = 0; slot < kSlots; ++slot) widest = std::max(widest, measure(slot, lines[slot]));
  // The lines are wide enough before a text could be cut; each then gets its final text at once,
  // so a refresh that changes nothing repaints nothing.
  fitLines(widest);
  for (int slot = 0; slot < kSlots; ++slot) setText(kSlotLine[slot], lines[slot]);
}

int DriveWindow::measure(int slot, const std::string& text) {
  if (text != measuredText_[slot]) {
    measuredText_[slot] = text;
    measuredWidth_[slot] = text.empty() ? 0 : desktop().textWidth(handle(), kLineFont, text);
  }
  return measuredWidth_[slot];
}

void DriveWindow::fitLines(int widest) {
  const int width = std::max(kLineWidth, widest + kLineSlack);
  if (width == lineWidth_) return;
  lineWidth_ = width;
  const Rect before = bounds();
  desktop().relayout(handle(), describe());
  // A window that ended inside the desktop's right edge grows to the left there, not past it.
  const int right = desktopRight(desktop().monitors());
  const Rect after = bounds();
  if (before.right() <= right && after.right() > right) moveTo(right - after.width, after.top);
}

void DriveWindow::rescaled() {
  measuredText_ = {};  // measured at the old DPI
  // Under a message box nothing is laid out: the first refresh after it measures anew.
  if (!desktop().messageBoxUp()) refall(lines_);
}

void DriveWindow::endsml() {
  program_.closeDriveWindow();
}

void DriveWindow::gdown(int x, int y) {
  Rect b = bounds();
  press_.gflag = true;
  press_.gx = x;
  press_.gy = y;
  press_.left = b.left;
  press_.top = b.top;
}

void DriveWindow::gmove(int x, int y) {
  if (!press_.gflag) return;
  Rect b = bounds();
  moveTo(b.left + (x - press_.gx), b.top + (y - press_.gy));
}

void DriveWindow::smlmenu(int button) {
  const LoadTicket load = currentLoad();
  if (button == static_cast<int>(MouseButton::Left)) {
    Rect b = bounds();
    if (b.left == press_.left && b.top == press_.top) endsml();
  } else {
    popUpMenu();
  }
  // The close, or a choice in the menu, may have unloaded the window: its press is gone with it.
  if (load.valid()) press_.gflag = false;
}

void DriveWindow::popUpMenu() {
  using Opening = Program::Opening;
  switch (desktop().popupMenu(handle(), menu_)) {
    case Hide:
      program_.hideall(*this);
      break;
    case Options:
      program_.openOptions(Opening::OverDriveWindow);
      break;
    case About:
      program_.openAbout(Opening::OverDriveWindow);
      break;
    case Help:
      program_.showHelp(kHelpDriveWindow, *this);
      break;
    case Quit:
      program_.quitall(*this);
      break;
    default:
      break;  // closed with nothing chosen
  }
}

}  // namespace kv
