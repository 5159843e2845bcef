#pragma once
// One step of the model test's user (or of the world around the program), recorded so that a
// failing run can be replayed, shortened and printed.
#include <string>

#include "tray/tray_window.h"
#include "ui/aboutwindow.h"
#include "ui/optionswindow.h"

namespace kv::model {

enum class Kind {
  Tray,     // a: mouse message 0x200..0x209 over the icon; b: tray menu entry chosen (0x204)
  Press,    // on the drive window; a: button; b, c: where, client twips
  Move,     // the pointer; b, c: by how much, screen twips
  Release,  // a: button; b: popup entry chosen (other buttons than the left)
  Box,      // drive selection window; a: box 1..6
  Choose,   // a: drive list entry, counted round the list
  Accept,   // "Accept Drive"
  Okay,
  Cancel,
  CloseBox,      // of the drive selection window
  OptionsMenu,   // a: helmen, cancmen or okmen
  AboutRelease,  // a: control (0: the window itself); b: button
  AboutClose,    // the about window's close box
  HelpKey,       // F1; a: window
  Activate,      // the user brings a window to the front; a: window
  Timer,         // the drive window's timer ticks
  ShellRestart,  // the taskbar is created anew ("TaskbarCreated")
  SavesFail,     // the folder stops taking writes
  SavesWork,
  DriveAppears,  // a: letter
  DriveGoes,
  FreeSpace,   // a: letter; b: which answer
  SecondCopy,  // the program is started again while it runs
  Restart,     // the program is started after it ended; a: with the m switch
};

enum WindowIndex { kDrive = 0, kOptions = 1, kAbout = 2 };
inline const char* const kWindowNames[] = {"smallwindow", "optionswindow", "aboutwindow"};
inline const char kLetters[] = {'c', 'd', 'e', 'f', 'q', 'z'};
constexpr int kLetterCount = 6;
constexpr int kFreeSpaceAnswers = 5;

struct Action {
  Kind kind = Kind::Timer;
  int a = 0;
  int b = 0;
  int c = 0;
};

inline std::string hex(unsigned v) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  do {
    out.insert(out.begin(), digits[v % 16]);
    v /= 16;
  } while (v);
  return "0x" + out;
}

inline std::string buttonName(int b) {
  return b == 1 ? "left" : b == 2 ? "right" : b == 4 ? "middle" : "button " + std::to_string(b);
}

inline std::string entryName(int id) {
  switch (id) {
    case 0:
      return "no entry (menu dismissed)";
    case TrayWindow::showmenu:
      return "\"&Show Kestrovan '99\"";
    case TrayWindow::optionmenu:
      return "\"&Options\" (modeless)";
    case TrayWindow::aboutmenu:
      return "\"&About\" (modeless)";
    case TrayWindow::helpmen1:
      return "\"&Help\" (tray)";
    case TrayWindow::quitmenu:
      return "\"&Quit\" (tray)";
    case TrayWindow::hidemen:
      return "\"&Hide\"";
    case TrayWindow::optmenu:
      return "\"&Options\" (modal)";
    case TrayWindow::aboutmen:
      return "\"&About\" (modal)";
    case TrayWindow::helpmen2:
      return "\"&Help\" (popup)";
    case TrayWindow::quitmen:
      return "\"&Quit\" (popup)";
    default:
      break;
  }
  if (id >= TrayWindow::m1 && id < TrayWindow::m1 + 6) return "drive entry m" + std::to_string(id - TrayWindow::m1 + 1);
  return "entry " + std::to_string(id);
}

inline std::string aboutControlName(int id) {
  switch (id) {
    case 0:
      return "the window background";
    case AboutWindow::Picture1:
      return "Picture1";
    case AboutWindow::Text1:
      return "Text1";
    case AboutWindow::Label2:
      return "Label2 (web address)";
    case AboutWindow::Label1:
      return "Label1";
    default:
      return "control " + std::to_string(id);
  }
}

inline const char* const kFreeSpaceNames[kFreeSpaceAnswers] = {
    "about 1856 MB", "nothing free", "every counter at 2^32-1", "2^31 free clusters", "no answer (not ready)"};

inline std::string describe(const Action& x) {
  auto signedText = [](int v) { return (v >= 0 ? "+" : "") + std::to_string(v); };
  switch (x.kind) {
    case Kind::Tray:
      return "tray icon: mouse message " + hex(static_cast<unsigned>(x.a)) +
             (x.a == 0x204 ? ", tray menu choice " + entryName(x.b) : std::string());
    case Kind::Press:
      return "drive window: " + buttonName(x.a) + " button down at (" + std::to_string(x.b) + ", " +
             std::to_string(x.c) + ")";
    case Kind::Move:
      return "pointer moves by (" + signedText(x.b) + ", " + signedText(x.c) + ")";
    case Kind::Release:
      return "drive window: " + buttonName(x.a) + " button up" +
             (x.a != 1 ? ", popup choice " + entryName(x.b) : std::string());
    case Kind::Box:
      return "options: click Check" + std::to_string(x.a);
    case Kind::Choose:
      return "options: pick entry " + std::to_string(x.a) + " of the drive list";
    case Kind::Accept:
      return "options: \"Accept Drive\"";
    case Kind::Okay:
      return "options: \"Okay\"";
    case Kind::Cancel:
      return "options: \"Cancel\"";
    case Kind::CloseBox:
      return "options: close box";
    case Kind::OptionsMenu:
      return std::string("options menu: ") + (x.a == OptionsWindow::helmen    ? "\"&Help\""
                                              : x.a == OptionsWindow::cancmen ? "\"&Discard Changes\""
                                                                              : "\"&Accept Changes\"");
    case Kind::AboutRelease:
      return "about: " + buttonName(x.b) + " button up on " + aboutControlName(x.a);
    case Kind::AboutClose:
      return "about: close box";
    case Kind::HelpKey:
      return std::string("F1 in ") + kWindowNames[x.a];
    case Kind::Activate:
      return std::string("user activates ") + kWindowNames[x.a];
    case Kind::Timer:
      return "drive window timer tick";
    case Kind::ShellRestart:
      return "shell restarts (TaskbarCreated)";
    case Kind::SavesFail:
      return "the folder stops taking writes";
    case Kind::SavesWork:
      return "the folder takes writes again";
    case Kind::DriveAppears:
      return std::string("drive ") + kLetters[x.a] + ": appears";
    case Kind::DriveGoes:
      return std::string("drive ") + kLetters[x.a] + ": goes away";
    case Kind::FreeSpace:
      return std::string("drive ") + kLetters[x.a] + ": now answers " + kFreeSpaceNames[x.b];
    case Kind::SecondCopy:
      return "a second copy is started";
    case Kind::Restart:
      return std::string("program started again") + (x.a ? " with /min" : "");
  }
  return "?";
}

}  // namespace kv::model
