#pragma once
// The program itself: the settings record, free space, the four windows and the tray icon, and
// the sequencing of everything the user decides. The only place that knows every window; the
// windows know only the Program they are given.
#include <string>

#include "forms/form_host.h"
#include "platform/failure.h"
#include "platform/platform.h"
#include "program/program.h"
#include "space/free_space.h"
#include "tray/tray_icon.h"
#include "tray/tray_window.h"
#include "ui/about_window.h"
#include "ui/drive_window.h"
#include "ui/options_window.h"

namespace kv {

constexpr const char* kHelpFileName = "kestrovan99.hlp";
constexpr const char* kProgramHelpName = "KESTROVAN99.HLP";  // the name F1 asks for

// A folder and a name joined by a backslash (a drive root folder already ends in one).
std::string joinPath(const std::string& folder, const std::string& name);

class App final : public Program {
 public:
  explicit App(Platform& platform);

  // Start-up; after it returns only events drive the program.
  void main();
  // Windows the window model loaded because code read them: the program asks for every load.
  unsigned loadsOnRead() const { return forms.loadsOnRead; }

  void refresh() override { refreshViews(); }

  // The drive window's load and close, and the dialogs'.
  void driveWindowLoaded() override;
  void closeDriveWindow() override;
  void optionsOpened() override;
  void optionsActivated() override { optionsWindow.refres(settings.drives); }
  void aboutOpened() override;
  void dialogClosed() override;

  // The user's decisions.
  void commitDrives(const DriveSlots& drives, Form& from) override;
  void showHelp(HelpTopic topic, Form& from) override;
  void showDriveWindow() override;
  void openOptions(Opening how) override;
  void openAbout(Opening how) override;
  void hideall(Form& from) override;
  void quitall(Form& from) override;
  void traysync() override { tray.traysync(readout()); }
  void trayIconLost() override { tray.readd(readout()); }
  void drivesChanged() override { space.askAllAgain(); }

 private:
  Platform& platform;
  Settings settings;
  FreeSpace space;
  FormHost forms;
  DriveWindow driveWindow;
  OptionsWindow optionsWindow;
  AboutWindow aboutWindow;
  TrayWindow tbarw;
  TrayIcon tray;

  // The settings file (app_settings.cpp).
  std::string configPath();
  bool loadcfg();            // reads the settings file; false when the set-up must follow
  bool savecfg(Form& from);  // writes it; a failure is told and leaves the file as it was
  std::string writecfg();    // writes it; the reason it failed, empty when it did not
  void setup();
  void sessionEnding();
  bool sessionSaved_ = false;  // the end of the session has been saved for
  bool saveFailed_ = false;    // the last save did not reach the file: memory is newer than it

  void ontop(bool topmost);  // the drive window into or out of the topmost order
  void smlontop() { ontop(true); }
  void smlofftop() { ontop(false); }
  // Unless it is loaded: the settings read, then the drive window loaded at their place; false
  // when they could not be read and the set-up ran instead.
  bool loadDriveWindow();
  void open(Form& window, Opening how);
  DriveList driveList();
  Readout readout();             // asks every used slot's drive again, unless waiting or paused
  void showAnswers();            // the views from the latest answers, asking nothing
  void refreshViews();           // the drive window's lines, the tooltip and the tray menu's drive entries
  std::string programHelpFile_;  // F1's file: the name it asks for, beside the program
};

}  // namespace kv
