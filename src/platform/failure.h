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

// Runs an answer the program waits for (a drive's free space). A failure that escapes it is
// shown in a message box, and the process ends: nothing unhandled crosses into the platform.
// It runs even while a message box of the program is up: what it records must not be lost.
template <class Entry>
void atAnswer(Desktop& desktop, Process& process, const FailureNotice& notice, Entry&& entry) {
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

// Runs one entry from the platform (start-up, a window event, a timer, a callback) inside the
// same boundary. While a message box of the program is up, entries are dropped: the timer's
// next tick and the user's next action come after it.
template <class Entry>
void atEntry(Desktop& desktop, Process& process, const FailureNotice& notice, Entry&& entry) {
  if (desktop.messageBoxUp()) return;
  atAnswer(desktop, process, notice, entry);
}

}  // namespace kv
