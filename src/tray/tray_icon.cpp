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
  trayrec_.hWnd = window_.handle();
  trayrec_.uID = kIconId;
  trayrec_.uFlags = kTrayCallback | kTrayIcon | kTrayTip;
  trayrec_.uCallbackMessage = TrayWindow::kCallbackMessage;
  trayrec_.hIcon = window_.icon();
  fillTip(trayrec_.szTip, tipText());

  traywanted_ = true;
  trayadded_ = tell(trayadded_ ? TrayCommand::Modify : TrayCommand::Add);
  setDriveEntries();
}

bool TrayIcon::tell(TrayCommand command) {
  if (shell_.notifyIcon(command, trayrec_)) return true;
  return shell_.notifyIcon(command == TrayCommand::Add ? TrayCommand::Modify : TrayCommand::Add, trayrec_);
}

void TrayIcon::showAnswers() {
  std::array<char, 64> tip;
  fillTip(tip, tipText());
  if (tip != trayrec_.szTip || !trayadded_) {
    trayrec_.szTip = tip;
    trayadded_ = tell(trayadded_ ? TrayCommand::Modify : TrayCommand::Add);
  }
  setDriveEntries();
}

std::string TrayIcon::tipText() {
  std::string tip;
  const DriveSlots& drives = program_.drives();
  for (int slot = 0; slot < kSlots; ++slot)
    if (!drives[slot].empty()) tip += program_.shortFree(slot) + " ";
  if (!tip.empty()) tip.pop_back();
  return tip;
}

void TrayIcon::setDriveEntries() {
  const DriveSlots& drives = program_.drives();
  for (int slot = 0; slot < kSlots; ++slot)
    window_.setDriveEntry(slot, drives[slot].empty() ? std::nullopt : std::optional(program_.longFree(slot)));
}

void TrayIcon::trayremove() {
  traywanted_ = trayadded_ = false;
  shell_.notifyIcon(TrayCommand::Delete, trayrec_);
}

void TrayIcon::readd() {
  // Unless start-up has yet to add it.
  if (!traywanted_) return;
  trayadded_ = false;
  traysync();
}

}  // namespace kv
