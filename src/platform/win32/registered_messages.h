#pragma once
// Window messages known by name: the ones outside tools send to any program window, and the
// shell's announcement that the taskbar was created anew.
#include "platform/win32/win32_api.h"

namespace kv::win32 {

struct RegisteredMessages {
  UINT gdiObjects;      // "Kestrovan99.GdiObjects": answers the number of live GDI objects
  UINT privateBytes;    // "Kestrovan99.PrivateBytes": answers the process's private bytes
  UINT handles;         // "Kestrovan99.Handles": answers the number of open kernel handles
  UINT taskbarCreated;  // "TaskbarCreated"
};

const RegisteredMessages& registeredMessages();

// The private (committed, not shared) bytes of this process; 0 when the system cannot say.
SIZE_T privateBytes();

// The number of kernel handles this process holds open; 0 when the system cannot say.
DWORD openHandles();

}  // namespace kv::win32
