#include "app/app.h"

#include <cctype>

#include "app/help_request.h"
#include "app/web_page.h"

namespace kv {

std::string joinPath(const std::string& folder, const std::string& name) {
  return folder + "\\" + name;
}

App::App(Platform& p)
    : platform(p),
      space(p.disks, p.process),
      forms{p.desktop,
            [this](Form& window, int topic) { requestHelp(platform, window.handle(), programHelpFile_, topic); },
            {},
            nullptr,
            [this] { sessionEnding(); }},
      driveWindow(forms, *this),
      optionsWindow(
          forms, *this, [this] { return driveList(); },
          [this](const std::string& root, Disks::LabelAnswer answer) {
            platform.disks.askLabel(root, std::move(answer));
          }),
      aboutWindow(forms, *this,
                  [this](WindowHandle owner, const std::string& address) { openweb(platform, owner, address); }),
      tbarw(forms, *this),
      tray(p.shell, tbarw) {
  space.whenAnswered([this](const std::string& root, const std::optional<DiskCounters>& answer) {
    // Taken even while a message box is up, or the drive would wait for good; only the views
    // wait for the box to close. An icon the shell refused is offered again by the drive
    // window's next refresh, figures changed or not.
    if (space.take(root, answer) && !platform.desktop.messageBoxUp()) showAnswers();
  });
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
  programHelpFile_ = joinPath(platform.process.exeFolder(), kProgramHelpName);

  // The settings first, then the drive window, hidden, at their place. A first run sets up next,
  // in the order the user sees: the drive window, the start-up topic, a fresh file, then Options
  // over the drive window, waited for; all before the tray icon is added.
  loadDriveWindow();

  int startHidden = 0;
  std::string commandLine = platform.process.commandLine();
  if (!commandLine.empty()) {
    if (commandLine.find('m') != std::string::npos) startHidden = 1;
    if (commandLine.find('M') != std::string::npos) startHidden = 1;
  }
  tbarw.load();
  traysync();
  if (startHidden == 0) driveWindow.show();
}

// Every load of the drive window reads the settings first: at start-up, and when Show, Options or
// About brings it back after Hide or a close. Where they cannot be read, the set-up follows.
bool App::loadDriveWindow() {
  if (driveWindow.loaded()) return true;
  const bool read = loadcfg();
  driveWindow.loadAt(Point{settings.smlleft, settings.smltop});
  if (read) return true;
  setup();
  return false;
}

void App::driveWindowLoaded() {
  smlontop();
  settings.smlshown = true;
}

void App::closeDriveWindow() {
  const Form::LoadTicket load = driveWindow.currentLoad();
  savecfg(driveWindow);
  // Only the window the user closed: the save's message box may have let it go meanwhile.
  if (!load.valid()) return;
  settings.smlshown = false;
  driveWindow.unload();
}

void App::optionsOpened() {
  smlofftop();
  optionsWindow.refres(settings.drives);
}

void App::aboutOpened() {
  smlofftop();
  aboutWindow.reftext(settings.version);
}

void App::dialogClosed() {
  // Not while quitting, once the drive window is gone.
  if (settings.smlshown && driveWindow.loaded()) smlontop();
}

void App::commitDrives(const DriveSlots& drives, Form& from) {
  settings.drives = drives;
  // A file that could not be written is not read back: that would only start the set-up again.
  if (savecfg(from) && !loadcfg()) setup();
  // Not left to the drive window's activation: the window that comes forward as Options goes
  // may be any, another program's too.
  refreshViews();
}

void App::showHelp(HelpTopic topic, Form& from) {
  requestHelp(platform, from.handle(), settings.helppath, topic);
}

void App::showDriveWindow() {
  loadDriveWindow();
  if (!driveWindow.visible()) driveWindow.show();
}

void App::hideall(Form& from) {
  savecfg(from);
  settings.smlshown = false;
  aboutWindow.unload();
  driveWindow.unload();
  optionsWindow.unload();
}

void App::quitall(Form& from) {
  savecfg(from);
  aboutWindow.unload();
  driveWindow.unload();
  optionsWindow.unload();
  tray.trayremove();
  tbarw.unload();
  platform.process.end(0);
}

// A dialog takes the drive window out of the topmost order as it loads: after Hide or a close, the
// drive window comes back first, loaded and hidden, as it always has. Where its settings cannot be
// read, the set-up runs first, and it has just waited for Options.
void App::openOptions(Opening how) {
  if (loadDriveWindow()) open(optionsWindow, how);
}

void App::openAbout(Opening how) {
  loadDriveWindow();
  open(aboutWindow, how);
}

void App::open(Form& window, Opening how) {
  if (how == Opening::Modeless)
    window.show();
  else
    window.showModal(driveWindow);
}

void App::ontop(bool topmost) {
  platform.desktop.setTopmost(driveWindow.handle(), topmost);
}

DriveList App::driveList() {
  DriveList list{platform.disks.driveList(), 0};
  // The program's own drive is the one the list starts on.
  std::string folder = platform.process.exeFolder();
  char own = folder.empty() ? 'c' : static_cast<char>(std::tolower(static_cast<unsigned char>(folder[0])));
  list.current = driveEntry(list.drives, own, 0);
  return list;
}

void App::showAnswers() {
  FreeSpace::AnswersOnly answersOnly(space);
  refreshViews();
}

void App::refreshViews() {
  const Readout shown = readout();
  if (driveWindow.loaded()) driveWindow.refall(shown.lines);
  if (tray.wanted()) tray.showAnswers(shown);
}

Readout App::readout() {
  Readout shown;
  for (int slot = 0; slot < kSlots; ++slot) {
    std::string& drive = settings.drives[slot];
    if (drive.empty()) continue;
    // Shown, a slot is kept in its root form (d: becomes d:\), which the saved file holds.
    drive = driveRoot(drive);
    shown.lines[slot] = space.longfree(drive);
    shown.tip += (shown.tip.empty() ? "" : " ") + space.shortfree(drive);
  }
  return shown;
}

}  // namespace kv
