#pragma once
// What the Win32 worlds share: the windows' thread taking its events while a world waits, and the
// notice the adapter's failure boundary is given.
#include <functional>
#include <utility>

#include "platform/win32/win32_desktop.h"

namespace kv::contract {

inline const FailureNotice kWorldNotice{"kvcontract", "A handler failed."};

// The desktop's own loop, with its keys and dialog messages, runs until done() holds or ms passed;
// a thread timer ends it, inside whatever loop runs then.
inline bool runUntil(win32::Win32Desktop& desktop, const std::function<bool()>& done, unsigned ms = 10000) {
  struct Wait {
    const std::function<bool()>& done;
    DWORD deadline;
    static void CALLBACK check(HWND, UINT, UINT_PTR, DWORD) {
      if (waiting()->done() || static_cast<int>(GetTickCount() - waiting()->deadline) > 0) PostQuitMessage(0);
    }
    static Wait*& waiting() {
      static Wait* innermost = nullptr;
      return innermost;
    }
  } wait{done, GetTickCount() + ms};
  if (done()) return true;
  Wait* outer = std::exchange(Wait::waiting(), &wait);
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, &Wait::check);
  desktop.runEvents();
  KillTimer(nullptr, timer);
  Wait::waiting() = outer;
  return done();
}

}  // namespace kv::contract
