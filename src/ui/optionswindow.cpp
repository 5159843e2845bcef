#include "ui/optionswindow.h"

#include <cctype>

namespace kv {

WindowLayout OptionsWindow::describe() const {
  WindowLayout w;
  w.name = "optionswindow";
  w.caption = "Options";
  w.style = WindowStyle::Dialog;
  w.clientWidth = 4650;
  w.clientHeight = 3750;
  w.helpTopic = kHelpOptions;

  auto& c = w.controls;  // in tab order
  addControl(c, Picture1, ControlKind::Picture, "Picture1", {135, 105, 4395, 780}).image = Image::OptionsBanner;
  addControl(c, Command1, ControlKind::Button, "Command1", {3585, 3255, 930, 390}, "Okay");
  addControl(c, Command2, ControlKind::Button, "Command2", {2580, 3255, 915, 390}, "Cancel");
  addControl(c, Frame1, ControlKind::Frame, "Frame1", {150, 870, 4350, 2265}, "Drives");
  const Point boxes[6] = {{870, 600}, {2235, 600}, {870, 1005}, {2235, 1005}, {870, 1395}, {2235, 1395}};
  for (int n = 6; n >= 1; --n)
    addControl(c, box(n), ControlKind::CheckBox, "Check" + std::to_string(n),
               {boxes[n - 1].x, boxes[n - 1].y, 1125, 285}, "c:\\", Frame1);
  addControl(c, Label1, ControlKind::Label, "Label1", {900, 255, 2460, 240}, "Please select drives below:", Frame1)
      .font = Font{"MS Sans Serif", 9.75};
  addControl(c, Drive1, ControlKind::DriveList, "Drive1", {270, 1830, 2520, 315}, "", Frame1);
  addControl(c, Command3, ControlKind::Button, "Command3", {2865, 1830, 1155, 330}, "Accept Drive", Frame1);

  Menu options;
  options.name = "optmenu";
  options.caption = "&Options";
  options.entries = {MenuEntry{helmen, "helmen", "&Help", true, "F1"}, MenuEntry{0, "sep", "-", true, ""},
                     MenuEntry{cancmen, "cancmen", "&Discard Changes", true, "Ctrl+C"},
                     MenuEntry{okmen, "okmen", "&Accept Changes", true, "Ctrl+O"}};
  w.menuBar.push_back(options);
  return w;
}

void OptionsWindow::onLoad(const LoadTicket& ticket) {
  fillDriveList();
  program_.smlofftop();
  // A first-run set-up may have shown and closed this window inside the line above.
  if (!ticket.valid()) return;
  loading_ = true;
  refres();
  loading_ = false;
}

void OptionsWindow::resetState() {
  optdrives_ = {};
  pickslot_ = 0;
  loading_ = false;
}

void OptionsWindow::onActivate() {
  pickslot_ = 0;
  showPicker(false);
  // Filling the boxes is never a user's pick: no box unchecks another while it runs.
  loading_ = true;
  refres();
  loading_ = false;
}

void OptionsWindow::showPicker(bool visible) {
  setVisible(Drive1, visible);
  setVisible(Command3, visible);
}

void OptionsWindow::fillDriveList() {
  std::vector<std::string> drives = program_.platform.disks.driveList();
  std::string folder = program_.platform.process.exeFolder();
  char own = folder.empty() ? 'c' : static_cast<char>(std::tolower(static_cast<unsigned char>(folder[0])));
  int current = 0;
  for (std::size_t i = 0; i < drives.size(); ++i)
    if (!drives[i].empty() && drives[i][0] == own) current = static_cast<int>(i);
  desktop().setItems(handle(), Drive1, drives, current);
}

void OptionsWindow::setBox(int n, bool on) {
  if (checked(box(n)) == on) return;
  setCheckedState(box(n), on);
  toggled(n);
}

void OptionsWindow::toggled(int n) {
  checkcl();
  if (checked(box(n))) {
    showPicker(true);
    pickslot_ = n;
  } else {
    // (A second checkcl here would find nothing left to cancel: the first has just run.)
    setText(box(n), "");
    optdrives_[n - 1].clear();
  }
}

void OptionsWindow::checkcl() {
  if (!loading_ && pickslot_ >= 1 && pickslot_ <= kSlots) setBox(pickslot_, false);
  showPicker(false);
  pickslot_ = 0;
}

void OptionsWindow::refres() {
  const auto& drives = program_.settings.drives;
  for (int n = 1; n <= kSlots; ++n) {
    bool used = !drives[n - 1].empty();
    setBox(n, used);
    setText(box(n), drives[n - 1]);
  }
  optdrives_ = drives;
  pickslot_ = 0;
  showPicker(false);
}

void OptionsWindow::acceptDrive() {
  showPicker(false);
  std::string root = driveRoot(desktop().currentItem(handle(), Drive1));
  if (pickslot_ >= 1 && pickslot_ <= kSlots) {
    setText(box(pickslot_), root);
    optdrives_[pickslot_ - 1] = root;
  }
  pickslot_ = 0;
}

void OptionsWindow::Command1_Click() {
  hide();
  program_.useDrives(optdrives_, *this);
  endop();
}

void OptionsWindow::cancel() {
  endop();
}

void OptionsWindow::endop() {
  if (program_.settings.smlshown) program_.smlontop();
  unload();
}

void OptionsWindow::controlClicked(int id) {
  if (id >= box(1) && id <= box(kSlots)) {
    int n = id - Check1 + 1;
    setBox(n, !checked(id));
  } else if (id == Command1) {
    Command1_Click();
  } else if (id == Command2) {
    cancel();
  } else if (id == Command3) {
    acceptDrive();
  }
}

void OptionsWindow::menuChosen(int id) {
  switch (id) {
    case helmen:
      showHelp(program_.settings.helppath, kHelpOptions);
      break;
    case cancmen:
      cancel();
      break;
    case okmen:
      Command1_Click();
      break;
    default:
      break;
  }
}

}  // namespace kv
