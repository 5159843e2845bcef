#pragma once
// The tray icon: its record, its tooltip of all drives and the tray menu's drive entries. It
// alone writes the settings' trayadded.
#include <string>

#include "app/program.h"
#include "platform/shell.h"
#include "tray/tray_window.h"

namespace kv {

// The tooltip field: the text and a NUL, the rest blank; 63 characters at most.
void fillTip(std::array<char, 64>& field, const std::string& text);

class TrayIcon {
 public:
  static constexpr unsigned kIconId = 1;
  static constexpr unsigned kFlags = 7;  // NIF_MESSAGE | NIF_ICON | NIF_TIP

  TrayIcon(Program& program, TrayWindow& tbarw) : program_(program), tbarw_(tbarw) {}
  void traysync();  // adds the icon, or modifies it, with every drive measured anew
  // The latest answers in the tooltip and the menu's drive entries; the shell hears of it only
  // when the tooltip changed.
  void showAnswers();
  void trayremove();  // takes it out of the notification area
  void readd();       // a new notification area knows no icons: ours again, if it had been added
  const TrayRecord& trayrec() const { return trayrec_; }

 private:
  std::string tipText();
  void setDriveEntries();

  Program& program_;
  TrayWindow& tbarw_;
  TrayRecord trayrec_;
};

}  // namespace kv
