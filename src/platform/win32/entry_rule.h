#pragma once
// How the adapter runs the program's code when the system calls in: what an entry does while a
// message box of the program is up, and what becomes of a failure that escapes it.
#include <functional>

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

// Runs one entry (start-up, a window's message, a timer, a drive's answer) under that rule. A
// failure that escapes it is shown in a message box, and the process ends: nothing unhandled goes
// back into the system. The desktop does it (Win32Desktop::runEntry), as it knows the boxes.
class EntryRunner {
 public:
  virtual void runEntry(const std::function<void()>& entry, UnderBox) = 0;

 protected:
  ~EntryRunner() = default;
};

}  // namespace kv::win32
