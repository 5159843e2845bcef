#include "tray/tray_icon.h"

#include <algorithm>

namespace kv {

void fillTip(std::array<char, 64>& field, const std::string& text) {
  field.fill(' ');
  std::size_t n = std::min(text.size(), field.size() - 1);
  std::copy_n(text.begin(), n, field.begin());
  field[n] = '\0';
}

void TrayIcon::traysync(const Readout& shown) {
  trayrec_.hWnd = window_.handle();
  trayrec_.uID = kIconId;
  trayrec_.uFlags = kTrayCallback | kTrayIcon | kTrayTip;
  trayrec_.uCallbackMessage = TrayWindow::kCallbackMessage;
  trayrec_.hIcon = window_.icon();
  fillTip(trayrec_.szTip, shown.tip);

  traywanted_ = true;
  trayadded_ = tell(trayadded_ ? TrayCommand::Modify : TrayCommand::Add);
  setDriveEntries(shown);
}

bool TrayIcon::tell(TrayCommand command) {
  if (shell_.notifyIcon(command, trayrec_)) return true;
  return shell_.notifyIcon(command == TrayCommand::Add ? TrayCommand::Modify : TrayCommand::Add, trayrec_);
}

void TrayIcon::showAnswers(const Readout& shown) {
  std::array<char, 64> tip;
  fillTip(tip, shown.tip);
  if (tip != trayrec_.szTip || !trayadded_) {
    trayrec_.szTip = tip;
    trayadded_ = tell(trayadded_ ? TrayCommand::Modify : TrayCommand::Add);
  }
  setDriveEntries(shown);
}

void TrayIcon::setDriveEntries(const Readout& shown) {
  for (int slot = 0; slot < kSlots; ++slot)
    window_.setDriveEntry(slot, shown.lines[slot].empty() ? std::nullopt : std::optional(shown.lines[slot]));
}

void TrayIcon::trayremove() {
  traywanted_ = trayadded_ = false;
  shell_.notifyIcon(TrayCommand::Delete, trayrec_);
}

void TrayIcon::readd(const Readout& shown) {
  // Unless start-up has yet to add it.
  if (!traywanted_) return;
  trayadded_ = false;
  traysync(shown);
}

}  // namespace kv
