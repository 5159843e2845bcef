#include "ui/drive_window.h"

namespace kv {

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
  w.clientWidth = 4605;
  w.clientHeight = 1095;
  w.back = Colour{0, 0, 0};
  w.helpTopic = kHelpDriveWindow;
  const Point places[kSlots] = {{90, 75}, {2445, 75}, {90, 405}, {2445, 405}, {90, 735}, {2445, 735}};
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

void DriveWindow::onLoad(const LoadTicket& ticket) {
  const Point place = program_.driveWindowLoading();
  if (!ticket.valid()) return;
  desktop().startTimer(handle(), kRefreshMilliseconds);
  refall();
  press_.gflag = false;
  moveTo(place.x, place.y);
  Rect b = bounds();
  if (b.left + b.width > desktop().screenWidth()) moveTo(kPlaceInView.x, kPlaceInView.y);
  program_.driveWindowLoaded();
}

void DriveWindow::refall() {
  // Each line gets its final text at once, so a refresh that changes nothing repaints nothing.
  const DriveSlots& drives = program_.drives();
  for (int slot = 0; slot < kSlots; ++slot)
    setText(kSlotLine[slot], drives[slot].empty() ? std::string() : program_.longFree(slot));
}

void DriveWindow::endsml() {
  program_.closeDriveWindow();
}

void DriveWindow::gdown(int x, int y) {
  Rect b = bounds();
  press_.gflag = true;
  press_.gx = clamp16(x);
  press_.gy = clamp16(y);
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
