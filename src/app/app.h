#pragma once
// The program: the settings record, the shared routines and the four windows.
#include <string>

#include "app/settings.h"
#include "forms/form_host.h"
#include "platform/platform.h"
#include "space/free_space.h"
#include "tray/tray_icon.h"
#include "tray/tray_window.h"
#include "ui/aboutwindow.h"
#include "ui/optionswindow.h"
#include "ui/smallwindow.h"

namespace kv {

constexpr const char* kHelpFileName = "kestrovan99.hlp";
constexpr const char* kProgramHelpName = "KESTROVAN99.HLP";

// A folder and a name joined by a backslash (a drive root folder already ends in one).
std::string joinPath(const std::string& folder, const std::string& name);

class App {
 public:
  explicit App(Platform& platform);

  // Start-up; after it returns only events drive the program.
  void main();
  void hideall();
  void quitall();
  void ontop(WindowHandle window, bool topmost);
  void smlontop();
  void smlofftop();
  void loadcfg();
  // Writes the settings file; a failure is reported and leaves the file as it was.
  bool savecfg();
  void showhelp();

  std::string configPath();
  std::string helpFilePath();

  Platform& platform;
  Settings settings;
  FreeSpace space;
  FormHost forms;
  SmallWindow smallwindow;
  OptionsWindow optionswindow;
  AboutWindow aboutwindow;
  TrayWindow tbarw;
  TrayIcon tray;

 private:
  void setup();
  bool saveFailed_ = false;  // the last save did not reach the file: memory is newer than it
};

}  // namespace kv
