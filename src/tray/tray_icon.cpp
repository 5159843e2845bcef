#include "tray/tray_icon.h"

#include <algorithm>

namespace kv {

void fillTip(std::array<char, 64>& field, const std::string& text) {
  field.fill(' ');
  std::size_t n = std::min(text.size(), field.size() - 1);
  std::copy_n(text.begin(), n, field.begin());
  field[n] = '\0';
}

void TrayIcon::traysync() {
  Settings& s = program_.settings;
  Platform& platform = program_.platform;
  WindowHandle window = tbarw_.handle();
  trayrec_.hWnd = window;
  trayrec_.uID = kIconId;
  trayrec_.uFlags = kFlags;
  trayrec_.uCallbackMessage = TrayWindow::kCallbackMessage;
  trayrec_.hIcon = platform.desktop.iconHandle(window);
  fillTip(trayrec_.szTip, tipText());

  platform.shell.notifyIcon(s.trayadded ? TrayCommand::Modify : TrayCommand::Add, trayrec_);
  s.trayadded = true;
  setDriveEntries();
}

void TrayIcon::showAnswers() {
  std::array<char, 64> tip;
  fillTip(tip, tipText());
  if (tip != trayrec_.szTip) {
    trayrec_.szTip = tip;
    program_.platform.shell.notifyIcon(TrayCommand::Modify, trayrec_);
  }
  setDriveEntries();
}

std::string TrayIcon::tipText() {
  std::string tip;
  for (auto& drive : program_.settings.drives)
    if (!drive.empty()) tip += program_.space.shortfree(drive) + " ";
  if (!tip.empty()) tip.pop_back();
  return tip;
}

void TrayIcon::setDriveEntries() {
  for (int k = 0; k < kSlots; ++k) {
    std::string& drive = program_.settings.drives[k];
    if (drive.empty())
      tbarw_.setDriveEntry(k, std::nullopt);
    else
      tbarw_.setDriveEntry(k, program_.space.longfree(drive));
  }
}

void TrayIcon::trayremove() {
  program_.settings.trayadded = false;
  program_.platform.shell.notifyIcon(TrayCommand::Delete, trayrec_);
}

void TrayIcon::readd() {
  // Unless start-up has yet to add it.
  if (!program_.settings.trayadded) return;
  program_.settings.trayadded = false;
  traysync();
}

}  // namespace kv
