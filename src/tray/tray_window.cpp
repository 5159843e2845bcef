#include "tray/tray_window.h"

#include "app/app.h"

namespace kv {

namespace {
constexpr unsigned kLeftButtonDown = 0x201;
constexpr unsigned kRightButtonDown = 0x204;

MenuEntry entry(int id, const char* name, const char* caption) {
  return MenuEntry{id, name, caption, true, ""};
}
MenuEntry separator(const char* name) {
  return MenuEntry{0, name, "-", true, ""};
}
}  // namespace

TrayWindow::TrayWindow(FormHost& host, App& app)
    : Form(host), app_(app), commonDialog_(host.help, [this] { return handle(); }) {
  tsmenu_.name = "tsmenu";
  tsmenu_.caption = "tsmenu";
  for (int k = 0; k < kSlots; ++k) {
    MenuEntry drive = entry(m1 + k, "", "");
    drive.name = "m" + std::to_string(k + 1);
    drive.visible = false;
    tsmenu_.entries.push_back(drive);
  }
  tsmenu_.entries.push_back(separator("sep5"));
  tsmenu_.entries.push_back(entry(showmenu, "showmenu", "&Show Kestrovan '99"));
  tsmenu_.entries.push_back(entry(optionmenu, "optionmenu", "&Options"));
  tsmenu_.entries.push_back(entry(aboutmenu, "aboutmenu", "&About"));
  tsmenu_.entries.push_back(separator("sep1"));
  tsmenu_.entries.push_back(entry(helpmen1, "helpmen1", "&Help"));
  tsmenu_.entries.push_back(entry(quitmenu, "quitmenu", "&Quit"));

  smallpopup_.name = "smallpopup";
  smallpopup_.caption = "smallpopup";
  smallpopup_.entries = {entry(hidemen, "hidemen", "&Hide"),    entry(optmenu, "optmenu", "&Options"),
                         entry(aboutmen, "aboutmen", "&About"), separator("sep3"),
                         entry(helpmen2, "helpmen2", "&Help"),  entry(quitmen, "quitmen", "&Quit")};
}

WindowLayout TrayWindow::describe() const {
  WindowLayout w;
  w.name = "tbarw";
  w.caption = "Form1";
  w.style = WindowStyle::Hidden;
  w.helpTopic = 100;
  return w;
}

void TrayWindow::onLoad(const LoadTicket&) {
  commonDialog_.HelpFile = app_.helpFilePath();
  commonDialog_.HelpCommand = kHelpContext;
}

HelpComponent& TrayWindow::CommonDialog1() {
  load();
  return commonDialog_;
}

void TrayWindow::setDriveEntry(int slot, const std::optional<std::string>& caption) {
  MenuEntry& e = tsmenu_.entries[slot];
  e.visible = caption.has_value();
  if (caption) e.caption = *caption;
}

void TrayWindow::trayMessage(unsigned mouseMessage) {
  app_.tray.traysync();
  if (mouseMessage == kLeftButtonDown) {
    showSmallWindow();
  } else if (mouseMessage == kRightButtonDown) {
    menuChosen(desktop().popupMenu(handle(), tsmenu_));
  }
}

void TrayWindow::taskbarCreated() {
  // A new notification area knows no icons: add ours again (unless start-up has yet to add it).
  if (!app_.settings.trayadded) return;
  app_.settings.trayadded = false;
  app_.tray.traysync();
}

void TrayWindow::popupSmallMenu(Form& smallwindow) {
  menuChosen(desktop().popupMenu(smallwindow.handle(), smallpopup_));
}

void TrayWindow::showSmallWindow() {
  if (!app_.smallwindow.visible()) app_.smallwindow.show();
}

void TrayWindow::help(unsigned long topic) {
  CommonDialog1().HelpContext = topic;
  CommonDialog1().ShowHelp();
}

void TrayWindow::menuChosen(int id) {
  switch (id) {
    case showmenu:
      showSmallWindow();
      break;
    case optionmenu:
      app_.optionswindow.show();
      break;
    case aboutmenu:
      app_.aboutwindow.show();
      break;
    case helpmen1:
      help(400);
      break;
    case quitmenu:
      app_.quitall();
      break;
    case hidemen:
      app_.hideall();
      break;
    case optmenu:
      app_.optionswindow.showModal(app_.smallwindow);
      break;
    case aboutmen:
      app_.aboutwindow.showModal(app_.smallwindow);
      break;
    case helpmen2:
      help(100);
      break;
    case quitmen:
      app_.quitall();
      break;
    default:
      break;  // the drive entries and "no choice" do nothing
  }
}

}  // namespace kv
