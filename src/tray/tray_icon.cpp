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

  std::string tip;
  for (auto& drive : s.drives)
    if (!drive.empty()) tip += program_.space.shortfree(drive) + " ";
  if (!tip.empty()) tip.pop_back();
  fillTip(trayrec_.szTip, tip);

  platform.shell.notifyIcon(s.trayadded ? TrayCommand::Modify : TrayCommand::Add, trayrec_);
  s.trayadded = true;

  for (int k = 0; k < kSlots; ++k) {
    std::string& drive = s.drives[k];
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
