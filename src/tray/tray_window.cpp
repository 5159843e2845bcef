#include "tray/tray_window.h"

namespace kv {

TrayWindow::TrayWindow(FormHost& host, Program& program) : Form(host), program_(program) {
  menu_.name = "tsmenu";
  menu_.caption = "tsmenu";
  for (int k = 0; k < kSlots; ++k) {
    MenuEntry drive = menuEntry(FirstDrive + k, "m" + std::to_string(k + 1), "");
    drive.visible = false;
    menu_.entries.push_back(drive);
  }
  menu_.entries.insert(
      menu_.entries.end(),
      {menuSeparator("sep5"), menuEntry(Show, "showmenu", "&Show Kestrovan '99"),
       menuEntry(Options, "optionmenu", "&Options"), menuEntry(About, "aboutmenu", "&About"), menuSeparator("sep1"),
       menuEntry(Help, "helpmen1", "&Help"), menuEntry(Quit, "quitmenu", "&Quit")});
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
  MenuEntry& e = menu_.entries[slot];
  e.visible = caption.has_value();
  if (caption) e.caption = *caption;
}

void TrayWindow::trayMessage(unsigned mouseMessage) {
  program_.traysync();
  if (mouseMessage == mouse_message::kLeftDown) {
    program_.showDriveWindow();
  } else if (mouseMessage == mouse_message::kRightDown) {
    popUpMenu();
  }
}

void TrayWindow::popUpMenu() {
  using Opening = Program::Opening;
  switch (desktop().popupMenu(handle(), menu_)) {
    case Show:
      program_.showDriveWindow();
      break;
    case Options:
      program_.openOptions(Opening::Modeless);
      break;
    case About:
      program_.openAbout(Opening::Modeless);
      break;
    case Help:
      program_.showHelp(kHelpTrayMenu, *this);
      break;
    case Quit:
      program_.quitall(*this);
      break;
    default:
      break;  // the drive entries and "no choice" do nothing
  }
}

}  // namespace kv
