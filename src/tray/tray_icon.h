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

  TrayIcon(Shell& shell, TrayWindow& window) : shell_(shell), window_(window) {}
  void traysync(const Readout&);  // adds the icon, or modifies it, with every drive measured anew
  // The latest answers in the tooltip and the menu's drive entries; the shell hears of it when
  // the tooltip changed, or when it does not have the icon yet (it refused the last add).
  void showAnswers(const Readout&);
  void trayremove();           // takes it out of the notification area
  void readd(const Readout&);  // a new notification area knows no icons: ours again, if it had been added
  bool wanted() const { return traywanted_; }  // added at start-up and not taken out since

 private:
  // Tells the shell; an add it refuses is a modify (it has the icon) and a modify it refuses an
  // add (it lost the icon). Whether the shell has the icon now.
  bool tell(TrayCommand);
  void setDriveEntries(const Readout&);

  Shell& shell_;
  TrayWindow& window_;
  TrayRecord trayrec_;
  bool traywanted_ = false;
  bool trayadded_ = false;  // the shell took the icon
};

}  // namespace kv
