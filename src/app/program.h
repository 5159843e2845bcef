#pragma once
// The program as its windows and the tray see it: the settings record, free space, the
// platform, the shared routines, and what one window asks of another, named by intent. App
// implements it; no window includes app/app.h, so a window's constructor shows all it needs.
#include "app/help_topics.h"
#include "app/settings.h"
#include "platform/failure.h"
#include "platform/platform.h"
#include "space/free_space.h"

namespace kv {

class Form;

inline const char* const kProgramTitle = "Kestrovan '99";  // also every message box's caption
inline const FailureNotice kFailureNotice{kProgramTitle,
                                          "Kestrovan '99 has met an error it cannot recover from and will close."};

class Program {
 public:
  // Options and About open modeless from the tray menu, and modal, owned by the drive window,
  // from the drive window's menu.
  enum class Opening { Modeless, OverDriveWindow };

  explicit Program(Platform& p) : platform(p), space(p.disks, p.process) {}
  virtual ~Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  Platform& platform;
  Settings settings;
  FreeSpace space;

  // The shared routines. Those that save are told the window the user's action came from: a
  // save that fails says so in a message box owned by it.
  virtual void loadcfg() = 0;            // reads the settings file, or runs the first-run set-up
  virtual bool savecfg(Form& from) = 0;  // writes it; a failure is told and leaves the file as it was
  virtual void smlontop() = 0;           // the drive window into the topmost order
  virtual void smlofftop() = 0;
  virtual void hideall(Form& from) = 0;  // everything but the tray icon goes, the settings saved
  virtual void quitall(Form& from) = 0;  // saves, takes the tray icon away and ends the process
  virtual void traysync() = 0;           // the tray icon's tooltip and the tray menu's drive entries anew

  // What one window asks of another.
  // Okay in Options: the drives from now on, saved, read back and shown in the drive window at once.
  virtual void useDrives(const std::array<std::string, kSlots>& drives, Form& from) = 0;
  virtual void showDriveWindow() = 0;  // unless it is shown already
  virtual void openOptions(Opening) = 0;
  virtual void openAbout(Opening) = 0;
  virtual void popupDriveWindowMenu() = 0;
  virtual void trayIconLost() = 0;  // the shell's notification area was created anew
};

}  // namespace kv
