#include "tray/tray_icon.h"

#include <algorithm>

#include "app/app.h"

namespace kv {

void fillTip(std::array<char, 64>& field, const std::string& text) {
  field.fill(' ');
  std::size_t n = std::min(text.size(), field.size() - 1);
  std::copy_n(text.begin(), n, field.begin());
  field[n] = '\0';
}

void TrayIcon::traysync() {
  Settings& s = app_.settings;
  WindowHandle window = app_.tbarw.handle();
  trayrec_.cbSize = sizeof(TrayRecord);
  trayrec_.hWnd = static_cast<unsigned>(window);
  trayrec_.uID = 1;
  trayrec_.uFlags = 7;  // message, icon and tip
  trayrec_.uCallbackMessage = TrayWindow::kCallbackMessage;
  trayrec_.hIcon = static_cast<unsigned>(app_.platform.desktop.iconHandle(window));

  std::string tip;
  for (auto& drive : s.drives)
    if (!drive.empty()) tip += app_.space.shortfree(drive) + " ";
  if (!tip.empty()) tip.pop_back();
  fillTip(trayrec_.szTip, tip);

  if (!s.trayadded) {
    app_.platform.shell.notifyIcon(TrayCommand::Add, trayrec_);
    s.trayadded = true;
  } else {
    app_.platform.shell.notifyIcon(TrayCommand::Modify, trayrec_);
  }

  for (int k = 0; k < kSlots; ++k) {
    std::string& drive = s.drives[k];
    if (drive.empty())
      app_.tbarw.setDriveEntry(k, std::nullopt);
    else
      app_.tbarw.setDriveEntry(k, app_.space.longfree(drive));
  }
}

void TrayIcon::trayremove() {
  app_.settings.trayadded = false;
  app_.platform.shell.notifyIcon(TrayCommand::Delete, trayrec_);
}

}  // namespace kv
