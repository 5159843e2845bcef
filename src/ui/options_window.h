#pragma once
// The drive selection window ("Options"): one check box per slot, a drive picker, and a
// working copy of the slots that only "Okay" commits.
#include <functional>
#include <string>

#include "forms/form.h"
#include "program/program.h"

namespace kv {

class OptionsWindow : public Form {
 public:
  // Control ids; the layout names them as the window always has (Picture1, Command1, ...).
  enum Control {
    Banner = 200,
    Okay,
    Cancel,
    DrivesFrame,
    FirstBox = 211,  // the six boxes: 211..216
    Prompt = 220,
    DrivePicker,
    AcceptDrive,
  };
  enum MenuCommand { Help = 301, Discard, Accept };
  // The drives the system has, asked each time the window loads, and a drive's label, asked beside
  // the windows (a share whose server has gone answers only when the network gives up).
  using DriveListSource = std::function<DriveList()>;
  using LabelSource = std::function<void(const std::string& root, std::function<void(const std::string&)>)>;

  OptionsWindow(FormHost& host, Program& program, DriveListSource driveList, LabelSource labels)
      : Form(host), program_(program), driveList_(std::move(driveList)), labels_(std::move(labels)) {}

  void refres(const DriveSlots& drives);  // the boxes and the working copy anew from the drives in use
  void checkcl();                         // closes the picker; a box waiting for its drive is unchecked again
  void okay();                            // "Okay" and Ctrl+O: hands the working copy to the program, then closes
  void cancel();                          // "Cancel", Ctrl+C and the close box: drops the working copy
  void acceptPick();                      // "Accept Drive": the picked drive into the box waiting for one
  // Sets box n (1..6) as code does: the toggle handling runs when the state really changes.
  void setBox(int n, bool on);

  void controlClicked(int id) override;
  void menuChosen(int id) override;
  void closeRequested() override { cancel(); }
  void drivesChanged() override;  // the list anew, on the user's current drive while it is there

 protected:
  WindowLayout describe() const override;
  void onLoad(const LoadTicket&) override;
  void onUnloaded() override { program_.dialogClosed(); }
  void resetState() override;
  void onActivate() override;

 private:
  static int box(int n) { return FirstBox + n - 1; }
  void toggled(int n);
  void showPicker(bool visible);
  void fillDriveList(const std::string& keep = "");  // keep: the entry to stay on, if still there
  void labelled(const std::string& letter, const std::string& label);

  Program& program_;
  DriveListSource driveList_;
  LabelSource labels_;
  std::vector<std::string> entries_;  // the drive list's, as shown
  DriveSlots optdrives_;              // the working copy
  int pickslot_ = 0;
  bool loading_ = false;
};

}  // namespace kv
