#pragma once
// What all windows share: the desktop, the help viewer, the program-wide help file for F1,
// which window, if any, is shown modally right now, and which is the program's active window.
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/help.h"

namespace kv {

class Form;

struct FormHost {
  Desktop& desktop;
  HelpViewer& help;
  std::string programHelpFile;
  std::vector<Form*> modalStack;
  // The program's active window as far as activations tell; the hidden tray window, made the
  // foreground window only so that its menus close, never counts.
  Form* active = nullptr;
};

}  // namespace kv
