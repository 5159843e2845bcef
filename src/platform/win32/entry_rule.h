#pragma once
// How the adapter runs the program's code when the system calls in: what an entry does while a
// message box of the program is up, and what becomes of a failure that escapes it.
#include <exception>
#include <string>

#include "platform/desktop.h"
#include "platform/failure.h"
#include "platform/process.h"

namespace kv::win32 {

// What an entry from the system does while a message box of the program is up. Most are
// dropped: they would re-enter a handler that waits for the box, and the timer's next tick and
// the user's next action come after it anyway.
enum class UnderBox {
  Dropped,
  BringsItUp,  // the user's press on the tray icon or on a window: the box comes to the front
  Runs,        // the shell's restart (the icon comes back now, or never), a new DPI or display,
               // the session's end, and a drive's answer (one lost would leave its drive
               // waiting for good)
};

// Runs one entry (start-up, a window's message, a timer, a drive's answer). A failure that
// escapes it is shown in a message box, and the process ends: nothing unhandled goes back into
// the system.
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

}  // namespace kv::win32
