#pragma once
// The hidden tray window: it receives the tray icon's mouse events and owns the tray menu,
// the drive window's popup menu and the help component both menus use.
#include <optional>
#include <string>

#include "app/program.h"
#include "forms/form.h"

namespace kv {

class TrayWindow : public Form {
 public:
  enum Command {
    m1 = 501,  // m1..m6: 501..506
    showmenu = 510,
    optionmenu,
    aboutmenu,
    helpmen1,
    quitmenu,
    hidemen = 520,
    optmenu,
    aboutmen,
    helpmen2,
    quitmen,
  };
  // The message the shell sends this window for the icon's mouse events (WM_MOUSEMOVE's
  // number: the hidden window is never under the pointer, so it means nothing else here).
  static constexpr unsigned kCallbackMessage = 0x200;
  static constexpr unsigned kLeftButtonDown = 0x201;  // WM_LBUTTONDOWN, as the callback carries it
  static constexpr unsigned kRightButtonDown = 0x204;

  TrayWindow(FormHost& host, Program& program);

  const Menu& tsmenu() const { return tsmenu_; }
  const Menu& smallpopup() const { return smallpopup_; }
  // Sets drive entry m1..m6 (slot 0..5): a caption, or hidden with its caption kept.
  void setDriveEntry(int slot, const std::optional<std::string>& caption);

  // Pops up the drive window's menu over it.
  void popupSmallMenu(Form& smallwindow);

  void trayMessage(unsigned mouseMessage) override;
  void taskbarCreated() override;
  void closeRequested() override {}

 protected:
  WindowLayout describe() const override;

 private:
  // Acts on the entry chosen in a menu popped up over the window (this one for the tray menu).
  void choose(int id, Form& from);

  Program& program_;
  Menu tsmenu_;
  Menu smallpopup_;
};

}  // namespace kv
