#include "tray/tray_window.h"

namespace kv {

namespace {
MenuEntry entry(int id, const char* name, const char* caption) {
  return MenuEntry{id, name, caption, true, ""};
}
MenuEntry separator(const char* name) {
  return MenuEntry{0, name, "-", true, ""};
}
}  // namespace

TrayWindow::TrayWindow(FormHost& host, Program& program) : Form(host), program_(program) {
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
  w.helpTopic = kHelpDriveWindow;
  return w;
}

void TrayWindow::setDriveEntry(int slot, const std::optional<std::string>& caption) {
  MenuEntry& e = tsmenu_.entries[slot];
  e.visible = caption.has_value();
  if (caption) e.caption = *caption;
}

void TrayWindow::trayMessage(unsigned mouseMessage) {
  program_.traysync();
  if (mouseMessage == kLeftButtonDown) {
    program_.showDriveWindow();
  } else if (mouseMessage == kRightButtonDown) {
    choose(desktop().popupMenu(handle(), tsmenu_), *this);
  }
}

void TrayWindow::taskbarCreated() {
  program_.trayIconLost();
}

void TrayWindow::popupSmallMenu(Form& smallwindow) {
  choose(desktop().popupMenu(smallwindow.handle(), smallpopup_), smallwindow);
}

void TrayWindow::choose(int id, Form& from) {
  using Opening = Program::Opening;
  switch (id) {
    case showmenu:
      program_.showDriveWindow();
      break;
    case optionmenu:
      program_.openOptions(Opening::Modeless);
      break;
    case aboutmenu:
      program_.openAbout(Opening::Modeless);
      break;
    case helpmen1:
      showHelp(program_.settings.helppath, kHelpTrayMenu);
      break;
    case hidemen:
      program_.hideall(from);
      break;
    case optmenu:
      program_.openOptions(Opening::OverDriveWindow);
      break;
    case aboutmen:
      program_.openAbout(Opening::OverDriveWindow);
      break;
    case helpmen2:
      showHelp(program_.settings.helppath, kHelpDriveWindow);
      break;
    case quitmenu:
    case quitmen:
      program_.quitall(from);
      break;
    default:
      break;  // the drive entries and "no choice" do nothing
  }
}

}  // namespace kv
