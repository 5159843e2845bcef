// The settings file as the program reads and writes it: at start-up, as the drive window loads,
// after Okay, and on every hide, close and quit.
#include "app/app.h"
#include "app/config_file.h"

namespace kv {

std::string App::configPath() {
  return joinPath(platform.process.exeFolder(), kConfigName);
}

bool App::loadcfg() {
  // After a save that did not reach the file, the file is older than what is in memory:
  // reading it would undo the user's choice.
  if (saveFailed_) return true;
  std::string path = configPath();
  if (!platform.files.normalFileExists(path)) return false;
  std::optional<std::string> bytes = platform.files.read(path, kConfigReadLimit);
  if (!bytes) return false;
  ConfigRead read = parseConfig(*bytes);
  for (int i = 0; i < read.slotsRead; ++i) settings.drives[i] = read.drives[i];
  if (read.left) settings.smlleft = *read.left;
  if (read.top) settings.smltop = *read.top;
  return read.complete();
}

// A first run, or a file that could not be read: the drive window, the start-up topic, a fresh
// file, then Options over the drive window, waited for.
void App::setup() {
  driveWindow.show();
  tbarw.load();  // the start-up topic's owner, which the user never sees
  showHelp(kHelpFirstRun, tbarw);
  savecfg(driveWindow);
  optionsWindow.showModal(driveWindow);
}

bool App::savecfg(Form& from) {
  std::string reason = writecfg();
  if (reason.empty()) return true;
  platform.desktop.messageBox(from.loaded() ? from.handle() : 0,
                              "Kestrovan '99 could not save its settings to\r\n" + configPath() + "\r\n\r\n" + reason +
                                  "\r\n\r\nThe drives you chose stay in use until the program ends.",
                              kProgramTitle);
  return false;
}

std::string App::writecfg() {
  if (settings.smlshown) {
    // The live position is what gets written, so the record takes it as well: a later save
    // before the next read must not put an older position back.
    Rect b = driveWindow.bounds();
    settings.smlleft = b.left;
    settings.smltop = b.top;
  }
  std::string reason =
      platform.files.writeAtomic(configPath(), formatConfig(settings.drives, settings.smlleft, settings.smltop));
  saveFailed_ = !reason.empty();
  return reason;
}

// The user logs off or shuts down and the system ends the process soon after: the settings are
// saved as Quit saves them, with the drive window's live place. Every window of the program hears
// the end; one save is enough. No box: nobody is left to read it, and it would hold up the end.
void App::sessionEnding() {
  if (sessionSaved_) return;
  sessionSaved_ = true;
  writecfg();
}

}  // namespace kv
