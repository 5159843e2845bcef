#pragma once
// What all windows share: the desktop, where help requests go, the program-wide help file for F1,
// which window, if any, is shown modally right now, and which is the program's active window.
#include <functional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace kv {

class Form;

struct FormHost {
  Desktop& desktop;
  // A window's help request, routed by the program: the window, the help file and the topic.
  std::function<void(WindowHandle owner, const std::string& file, unsigned long topic)> help;
  std::string programHelpFile;
  std::vector<Form*> modalStack;
  // The program's active window as far as activations tell; the hidden tray window, made the
  // foreground window only so that its menus close, never counts.
  Form* active = nullptr;
};

}  // namespace kv
