#pragma once
// The tray icon: its record, its tooltip of all drives and the tray menu's drive entries.
#include <array>
#include <string>

#include "platform/shell.h"
#include "program/program.h"
#include "tray/tray_window.h"

namespace kv {

// The tooltip field: the text and a NUL, the rest blank; 63 characters at most.
void fillTip(std::array<char, 64>& field, const std::string& text);

class TrayIcon {
 public:
  static constexpr unsigned kIconId = 1;

  TrayIcon(Program& program, Shell& shell, TrayWindow& window) : program_(program), shell_(shell), window_(window) {}
  void traysync();  // adds the icon, or modifies it, with every drive measured anew
  // The latest answers in the tooltip and the menu's drive entries; the shell hears of it only
  // when the tooltip changed.
  void showAnswers();
  void trayremove();  // takes it out of the notification area
  void readd();       // a new notification area knows no icons: ours again, if it had been added
  bool added() const { return trayadded_; }

 private:
  std::string tipText();
  void setDriveEntries();

  Program& program_;
  Shell& shell_;
  TrayWindow& window_;
  TrayRecord trayrec_;
  bool trayadded_ = false;
};

}  // namespace kv
