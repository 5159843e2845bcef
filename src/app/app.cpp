#include "app/app.h"

#include "app/config_file.h"
#include "app/help_request.h"

namespace kv {

std::string joinPath(const std::string& folder, const std::string& name) {
  return folder + "\\" + name;
}

App::App(Platform& p)
    : Program(p),
      forms{p.desktop,
            [&p](WindowHandle owner, const std::string& file, unsigned long topic) {
              requestHelp(p, owner, file, topic);
            },
            std::string(),
            {}},
      smallwindow(forms, *this),
      optionswindow(forms, *this),
      aboutwindow(forms, *this),
      tbarw(forms, *this),
      tray(*this, tbarw) {
  space.whenAnswered([this](const std::string& root, const std::optional<DiskCounters>& answer) {
    // Taken even while a message box is up, or the drive would wait for good; only the views
    // wait for the box to close (an entry, dropped meanwhile).
    if (space.take(root, answer))
      atEntry(platform.desktop, platform.process, kFailureNotice, [this] { showAnswers(); });
  });
}

void App::showAnswers() {
  FreeSpace::AnswersOnly answersOnly(space);
  if (smallwindow.loaded()) smallwindow.refall();
  if (settings.trayadded) tray.showAnswers();
}

std::string App::configPath() {
  return joinPath(platform.process.exeFolder(), kConfigName);
}

void App::main() {
  if (platform.process.previousInstance()) {
    platform.process.end(0);
    return;
  }
  VersionNumbers v = platform.process.version();
  settings.version = std::to_string(v.major) + "." + std::to_string(v.minor);
  settings.helppath = joinPath(platform.process.exeFolder(), kHelpFileName);
  // F1 goes to the same file by its full path, so it is found whatever folder is current.
  forms.programHelpFile = joinPath(platform.process.exeFolder(), kProgramHelpName);

  // Loading the options window hidden takes the drive window out of the topmost order, which
  // loads the drive window, which reads the settings file and on a first run sets it up.
  optionswindow.load();

  int startHidden = 0;
  std::string commandLine = platform.process.commandLine();
  if (!commandLine.empty()) {
    if (commandLine.find('m') != std::string::npos) startHidden = 1;
    if (commandLine.find('M') != std::string::npos) startHidden = 1;
  }
  loadcfg();
  tbarw.load();
  traysync();
  if (startHidden == 0) smallwindow.show();

  // The options window was only loaded for the start-up order above; unloading it now, unseen, lets its
  // next showing take the drive window out of the topmost order again, and the drive window
  // goes back on top at once instead of waiting for some window to close.
  if (!optionswindow.visible()) optionswindow.unload();
  if (settings.smlshown) smlontop();
}

void App::hideall(Form& from) {
  savecfg(from);
  settings.smlshown = false;
  aboutwindow.unload();
  smallwindow.unload();
  optionswindow.unload();
}

void App::quitall(Form& from) {
  savecfg(from);
  aboutwindow.unload();
  smallwindow.unload();
  optionswindow.unload();
  tray.trayremove();
  tbarw.unload();
  platform.process.end(0);
}

void App::useDrives(const std::array<std::string, kSlots>& drives, Form& from) {
  settings.drives = drives;
  // A file that could not be written is not read back: that would only start the set-up again.
  if (savecfg(from)) loadcfg();
  // Not left to the drive window's activation: the window that comes forward as Options goes
  // may be any, another program's too.
  if (smallwindow.loaded()) smallwindow.refall();
}

void App::showDriveWindow() {
  if (!smallwindow.visible()) smallwindow.show();
}

void App::openOptions(Opening how) {
  open(optionswindow, how);
}

void App::openAbout(Opening how) {
  open(aboutwindow, how);
}

void App::open(Form& window, Opening how) {
  if (how == Opening::Modeless)
    window.show();
  else
    window.showModal(smallwindow);
}

void App::ontop(WindowHandle window, bool topmost) {
  platform.desktop.setTopmost(window, topmost);
}
void App::smlontop() {
  ontop(smallwindow.handle(), true);
}
void App::smlofftop() {
  ontop(smallwindow.handle(), false);
}

void App::loadcfg() {
  // After a save that did not reach the file, the file is older than what is in memory:
  // reading it would undo the user's choice.
  if (saveFailed_) return;
  std::string path = configPath();
  if (!platform.files.normalFileExists(path)) {
    setup();
    return;
  }
  std::optional<std::string> bytes = platform.files.read(path, kConfigReadLimit);
  if (!bytes) {
    setup();
    return;
  }
  ConfigRead read = parseConfig(*bytes);
  for (int i = 0; i < read.slotsRead; ++i) settings.drives[i] = read.drives[i];
  if (read.left) settings.smlleft = *read.left;
  if (read.top) settings.smltop = *read.top;
  if (!read.complete()) setup();
}

void App::setup() {
  smallwindow.show();
  showhelp();
  savecfg(smallwindow);
  optionswindow.showModal(smallwindow);
}

bool App::savecfg(Form& from) {
  if (settings.smlshown) {
    // The live position is what gets written, so the record takes it as well: a later save
    // before the next read must not put an older position back.
    Rect b = smallwindow.bounds();
    settings.smlleft = clamp16(b.left);
    settings.smltop = clamp16(b.top);
  }
  std::string path = configPath();
  std::string reason =
      platform.files.writeAtomic(path, formatConfig(settings.drives, settings.smlleft, settings.smltop));
  saveFailed_ = !reason.empty();
  if (reason.empty()) return true;
  platform.desktop.messageBox(from.loaded() ? from.handle() : 0,
                              "Kestrovan '99 could not save its settings to\r\n" + path + "\r\n\r\n" + reason +
                                  "\r\n\r\nThe drives you chose stay in use until the program ends.",
                              kProgramTitle);
  return false;
}

void App::showhelp() {
  tbarw.showHelp(settings.helppath, kHelpFirstRun);
}

}  // namespace kv
