#pragma once
// What all windows share: the desktop, what F1 opens, which window, if any, is shown modally
// right now, and which is the program's active window.
#include <functional>
#include <vector>

#include "platform/desktop.h"

namespace kv {

class Form;

struct FormHost {
  Desktop& desktop;
  // F1 in a window whose layout names a help topic: the program opens that topic for it.
  std::function<void(Form& window, int topic)> helpKey;
  std::vector<Form*> modalStack;
  // The program's active window as far as activations tell; the hidden tray window, made the
  // foreground window only so that its menus close, never counts.
  Form* active = nullptr;
  // The Windows session ends: the program keeps what it must before the process is ended.
  std::function<void()> sessionEnding;
  // Windows loaded because something read them (a handle, a place, a control) before they were
  // loaded. The model allows it; the program loads every window it needs by name, and the tests
  // hold it to that.
  unsigned loadsOnRead = 0;
};

}  // namespace kv
