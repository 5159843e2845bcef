#include "ui/options_window.h"

#include <algorithm>

#include "space/free_space.h"

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
  addControl(c, Banner, ControlKind::Picture, "Picture1", {135, 105, 4395, 780}).image = Image::OptionsBanner;
  addControl(c, Okay, ControlKind::Button, "Command1", {3585, 3255, 930, 390}, "Okay");
  addControl(c, Cancel, ControlKind::Button, "Command2", {2580, 3255, 915, 390}, "Cancel");
  addControl(c, DrivesFrame, ControlKind::Frame, "Frame1", {150, 870, 4350, 2265}, "Drives");
  const Point boxes[6] = {{870, 600}, {2235, 600}, {870, 1005}, {2235, 1005}, {870, 1395}, {2235, 1395}};
  for (int n = 6; n >= 1; --n)
    addControl(c, box(n), ControlKind::CheckBox, "Check" + std::to_string(n),
               {boxes[n - 1].x, boxes[n - 1].y, 1125, 285}, "c:\\", DrivesFrame);
  addControl(c, Prompt, ControlKind::Label, "Label1", {900, 255, 2460, 240}, "Please select drives below:", DrivesFrame)
      .font = Font{"MS Sans Serif", 9.75};
  addControl(c, DrivePicker, ControlKind::DriveList, "Drive1", {270, 1830, 2520, 315}, "", DrivesFrame);
  addControl(c, AcceptDrive, ControlKind::Button, "Command3", {2865, 1830, 1155, 330}, "Accept Drive", DrivesFrame);

  Menu options;
  options.name = "optmenu";
  options.caption = "&Options";
  options.entries = {menuEntry(Help, "helmen", "&Help", "F1"), menuSeparator("sep"),
                     menuEntry(Discard, "cancmen", "&Discard Changes", "Ctrl+C"),
                     menuEntry(Accept, "okmen", "&Accept Changes", "Ctrl+O")};
  w.menuBar.push_back(options);
  return w;
}

void OptionsWindow::onLoad(const LoadTicket&) {
  fillDriveList();
  program_.optionsOpened();
}

void OptionsWindow::resetState() {
  optdrives_ = {};
  pickslot_ = 0;
  loading_ = false;
}

void OptionsWindow::onActivate() {
  program_.optionsActivated();
}

void OptionsWindow::showPicker(bool visible) {
  setVisible(DrivePicker, visible);
  setVisible(AcceptDrive, visible);
}

void OptionsWindow::drivesChanged() {
  if (loaded()) fillDriveList(desktop().currentItem(handle(), DrivePicker));
}

// The letters at once; each label as its drive answers, a drive that never does keeping its letter.
void OptionsWindow::fillDriveList(const std::string& keep) {
  DriveList list = driveList_();
  if (!keep.empty()) list.current = driveEntry(list.drives, keep[0], list.current);
  entries_ = list.drives;
  desktop().setItems(handle(), DrivePicker, entries_, list.current);
  const LoadTicket load = currentLoad();
  for (const std::string& letter : entries_)
    labels_(letter + "\\", [this, load, letter](const std::string& label) {
      if (load.valid()) labelled(letter, label);
    });
}

// By its letter: the list may have been filled anew since the question.
void OptionsWindow::labelled(const std::string& letter, const std::string& label) {
  const auto entry = std::find(entries_.begin(), entries_.end(), letter);
  // Nothing is drawn under a message box: the label is left for the next time Options opens.
  if (label.empty() || entry == entries_.end() || desktop().messageBoxUp()) return;
  *entry += " [" + label + "]";
  const std::string current = desktop().currentItem(handle(), DrivePicker);
  // The user's current entry, found by its letter.
  desktop().setItems(handle(), DrivePicker, entries_, driveEntry(entries_, current.empty() ? '\0' : current[0], 0));
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

void OptionsWindow::refres(const DriveSlots& drives) {
  // Filling the boxes is never a user's pick: no box unchecks another while it runs.
  loading_ = true;
  for (int n = 1; n <= kSlots; ++n) {
    bool used = !drives[n - 1].empty();
    setBox(n, used);
    setText(box(n), drives[n - 1]);
  }
  loading_ = false;
  optdrives_ = drives;
  pickslot_ = 0;
  showPicker(false);
}

void OptionsWindow::acceptPick() {
  showPicker(false);
  std::string root = driveRoot(desktop().currentItem(handle(), DrivePicker));
  if (pickslot_ >= 1 && pickslot_ <= kSlots) {
    setText(box(pickslot_), root);
    optdrives_[pickslot_ - 1] = root;
  }
  pickslot_ = 0;
}

void OptionsWindow::okay() {
  hide();
  program_.commitDrives(optdrives_, *this);
  unload();
}

void OptionsWindow::cancel() {
  unload();
}

void OptionsWindow::controlClicked(int id) {
  if (id >= box(1) && id <= box(kSlots)) {
    int n = id - FirstBox + 1;
    setBox(n, !checked(id));
  } else if (id == Okay) {
    okay();
  } else if (id == Cancel) {
    cancel();
  } else if (id == AcceptDrive) {
    acceptPick();
  }
}

void OptionsWindow::menuChosen(int id) {
  switch (id) {
    case Help:
      program_.showHelp(kHelpOptions, *this);
      break;
    case Discard:
      cancel();
      break;
    case Accept:
      okay();
      break;
    default:
      break;
  }
}

}  // namespace kv
