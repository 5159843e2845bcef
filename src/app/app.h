#pragma once
// The program itself: the settings record, the shared routines and the four windows. The only
// place that knows every window; the windows know only the Program they are given.
#include <string>

#include "app/program.h"
#include "forms/form_host.h"
#include "tray/tray_icon.h"
#include "tray/tray_window.h"
#include "ui/aboutwindow.h"
#include "ui/optionswindow.h"
#include "ui/smallwindow.h"

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

  void loadcfg() override;
  bool savecfg(Form& from) override;
  void smlontop() override;
  void smlofftop() override;
  void hideall(Form& from) override;
  void quitall(Form& from) override;
  void traysync() override { tray.traysync(); }
  void useDrives(const std::array<std::string, kSlots>& drives, Form& from) override;
  void showDriveWindow() override;
  void openOptions(Opening) override;
  void openAbout(Opening) override;
  void popupDriveWindowMenu() override { tbarw.popupSmallMenu(smallwindow); }
  void trayIconLost() override { tray.readd(); }

  void ontop(WindowHandle window, bool topmost);
  void showhelp();  // the first run's topic
  std::string configPath();

  FormHost forms;
  SmallWindow smallwindow;
  OptionsWindow optionswindow;
  AboutWindow aboutwindow;
  TrayWindow tbarw;
  TrayIcon tray;

 private:
  void setup();
  void open(Form& window, Opening how);
  void showAnswers();        // the drive window's lines and the tooltip, from the latest answers
  bool saveFailed_ = false;  // the last save did not reach the file: memory is newer than it
};

}  // namespace kv
