#pragma once
// The drive selection window ("Options"): one check box per slot, a drive picker, and a
// working copy of the slots that only "Okay" commits.
#include <array>
#include <string>

#include "app/program.h"
#include "forms/form.h"

namespace kv {

class OptionsWindow : public Form {
 public:
  enum Control {
    Picture1 = 200,
    Command1,  // "Okay"
    Command2,  // "Cancel"
    Frame1,
    Check1 = 211,  // Check1..Check6: 211..216
    Label1 = 220,
    Drive1,
    Command3,  // "Accept Drive"
  };
  enum MenuCommand { helmen = 301, cancmen, okmen };

  OptionsWindow(FormHost& host, Program& program) : Form(host), program_(program) {}

  void refres();          // the boxes and the working copy anew from the settings
  void checkcl();         // closes the picker; a box waiting for its drive is unchecked again
  void endop();           // its close: the drive window back on top, then unloads
  void Command1_Click();  // "Okay": commits the working copy and saves it
  void cancel();          // "Cancel", Ctrl+C and the close box: drops the working copy
  void acceptDrive();     // "Accept Drive": the picked drive into the box waiting for one
  // Sets box n (1..6) as code does: the toggle handling runs when the state really changes.
  void setBox(int n, bool on);

  const std::array<std::string, kSlots>& optdrives() const { return optdrives_; }
  int pickslot() const { return pickslot_; }
  bool boxChecked(int n) { return checked(box(n)); }
  const std::string& boxCaption(int n) { return text(box(n)); }
  bool pickerVisible() { return controlVisible(Drive1); }

  void controlClicked(int id) override;
  void menuChosen(int id) override;
  void closeRequested() override { cancel(); }

 protected:
  WindowLayout describe() const override;
  void onLoad(const LoadTicket&) override;
  void resetState() override;
  void onActivate() override;

 private:
  static int box(int n) { return Check1 + n - 1; }
  void toggled(int n);
  void showPicker(bool visible);
  void fillDriveList();

  Program& program_;
  std::array<std::string, kSlots> optdrives_;
  int pickslot_ = 0;
  bool loading_ = false;
};

}  // namespace kv
