#pragma once
// The one kind of failure nothing in the program handles, and the boundary that reports it.
#include <exception>
#include <stdexcept>
#include <string>

#include "platform/desktop.h"
#include "platform/process.h"

namespace kv {

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The failure box's caption and first words: the program's own, handed to the platform.
struct FailureNotice {
  std::string caption;
  std::string lead;
};

// What an entry from the platform does while a message box of the program is up. Most are
// dropped: they would re-enter a handler that waits for the box, and the timer's next tick and
// the user's next action come after it anyway.
enum class UnderBox {
  Dropped,
  BringsItUp,  // the user's press on the tray icon or on a window: the box comes to the front
  Runs,        // the shell's restart (the icon comes back now, or never) and a drive's answer
               // (an answer lost would leave its drive waiting for good)
};

// Runs one entry from the platform (start-up, a window event, a timer, a callback). A failure
// that escapes it is shown in a message box, and the process ends: nothing unhandled crosses
// into the platform.
template <class Entry>
void atEntry(Desktop& desktop, Process& process, const FailureNotice& notice, Entry&& entry,
             UnderBox underBox = UnderBox::Dropped) {
  if (desktop.messageBoxUp()) {
    if (underBox == UnderBox::BringsItUp) desktop.bringMessageBoxToFront();
    if (underBox != UnderBox::Runs) return;
  }
  std::string reason;
  try {
    entry();
    return;
  } catch (const std::exception& e) {
    reason = e.what();
  }
  desktop.messageBox(0, notice.lead + "\r\n\r\n" + reason, notice.caption);
  process.end(1);
}

}  // namespace kv
