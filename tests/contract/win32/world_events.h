#pragma once
// What the Win32 worlds share: the windows' thread taking its events while a world waits, and the
// notice the adapter's failure boundary is given.
#include <algorithm>
#include <chrono>
#include <functional>

#include "platform/failure.h"
#include "platform/win32/win32_api.h"

namespace kv::contract {

inline const FailureNotice kWorldNotice{"kvcontract", "A handler failed."};

// Waits on the windows' thread, taking its events, until the condition holds or the time passed.
inline bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds bound = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!done()) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left.count(), 50)),
                              QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

}  // namespace kv::contract
