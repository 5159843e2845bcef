#pragma once
// The program as its windows and the tray see it: what they show, and one call for each thing the
// user decides, named by intent. The program does the sequencing (saving, reading back, refreshing
// the views, the drive window's topmost order); a window never reaches another window, the
// platform or the settings record. App implements it.
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/geometry.h"
#include "program/help_topics.h"
#include "program/settings.h"

namespace kv {

class Form;

inline const char* const kProgramTitle = "Kestrovan '99";  // also every message box's caption
// What the user is told when the program meets an error it cannot recover from.
inline const FailureNotice kFailureNotice{kProgramTitle,
                                          "Kestrovan '99 has met an error it cannot recover from and will close."};

// The drives the system has, as Options lists them, and the entry it starts on.
struct DriveList {
  std::vector<std::string> drives;
  int current = 0;
};

// What the views show at one refresh, made once from the slots and the drives' latest answers.
struct Readout {
  DriveSlots lines;  // a used slot's long figure (c: 1856.25 MB), "" for an empty slot
  std::string tip;   // the used slots' short figures, one space apart (c:1856MB d:532MB)
};

// The entry of the drive with this letter, or otherwise where none starts with it ('\0': none does).
inline int driveEntry(const std::vector<std::string>& drives, char letter, int otherwise) {
  for (std::size_t i = 0; i < drives.size(); ++i)
    if (letter && !drives[i].empty() && drives[i][0] == letter) return static_cast<int>(i);
  return otherwise;
}

class Program {
 public:
  // Options and About open modeless from the tray menu, and modal, owned by the drive window,
  // from the drive window's menu.
  enum class Opening { Modeless, OverDriveWindow };

  Program() = default;
  virtual ~Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The drive window's timer or activation: every view shows its drives anew, each asked again.
  virtual void refresh() = 0;

  virtual void driveWindowLoaded() = 0;  // placed and refreshing: it goes on top
  virtual void closeDriveWindow() = 0;   // its plain click or Alt+F4: saved, then unloaded

  // Options or About was loaded, or is about to unload: the drive window leaves the topmost
  // order while either is loaded, and comes back to it when one closes. Options, loaded or
  // activated, is handed the drives in use anew.
  virtual void optionsOpened() = 0;
  virtual void optionsActivated() = 0;
  virtual void aboutOpened() = 0;
  virtual void dialogClosed() = 0;

  // Okay in Options: the drives from now on, saved, read back and shown at once. A failed save is
  // told in a box owned by the window the choice came from.
  virtual void commitDrives(const DriveSlots& drives, Form& from) = 0;
  virtual void showHelp(HelpTopic topic, Form& from) = 0;
  virtual void showDriveWindow() = 0;  // unless it is shown already
  virtual void openOptions(Opening) = 0;
  virtual void openAbout(Opening) = 0;
  virtual void hideall(Form& from) = 0;  // everything but the tray icon goes, the settings saved
  virtual void quitall(Form& from) = 0;  // saves, takes the tray icon away and ends the process

  // The tray icon's mouse: its tooltip and the tray menu's drive entries anew.
  virtual void traysync() = 0;
  virtual void trayIconLost() = 0;   // the shell's notification area was created anew
  virtual void drivesChanged() = 0;  // a drive came or went (a disc too): every drive asked anew
};

}  // namespace kv
