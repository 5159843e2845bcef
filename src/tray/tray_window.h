#pragma once
// The hidden tray window: it receives the tray icon's mouse events and owns the tray menu,
// the drive window's popup menu and the help component both menus use.
#include <optional>
#include <string>

#include "forms/form.h"
#include "forms/help_component.h"

namespace kv {

class App;

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
  static constexpr unsigned kCallbackMessage = 0x200;

  TrayWindow(FormHost& host, App& app);

  HelpComponent& CommonDialog1();  // touching it loads the window
  const Menu& tsmenu() const { return tsmenu_; }
  const Menu& smallpopup() const { return smallpopup_; }
  // Sets drive entry m1..m6 (slot 0..5): a caption, or hidden with its caption kept.
  void setDriveEntry(int slot, const std::optional<std::string>& caption);

  void popupSmallMenu(Form& smallwindow);

  void trayMessage(unsigned mouseMessage) override;
  void taskbarCreated() override;
  void menuChosen(int id) override;
  void closeRequested() override {}

 protected:
  WindowLayout describe() const override;
  void onLoad(const LoadTicket&) override;

 private:
  void showSmallWindow();
  void help(unsigned long topic);

  App& app_;
  HelpComponent commonDialog_;
  Menu tsmenu_;
  Menu smallpopup_;
};

}  // namespace kv
