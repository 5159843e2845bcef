#pragma once
// Where input goes. Keys are sorted in the message pump, before any window sees them
// (message_pump.cpp: menu shortcuts, F1, the dialog manager); mouse messages are sorted
// here, by the window procedures of the windows and of the controls that take the mouse.
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_window.h"
#include "platform/window_events.h"

namespace kv::win32 {

enum class Pointer { Down, Move, Up };

// Sorts a mouse message; false for messages that are not a button or a move.
bool classifyPointer(UINT message, Pointer&, MouseButton&);

// A mouse message on the window's background (source is the window, id 0) or on one of its
// controls. Forwarding sources hand press, move and release to the window in its client
// coordinates; every source reports the release of a button as released(id).
void pointerEvent(NativeWindow&, HWND source, int id, bool forwards, Pointer, MouseButton, LPARAM);

}  // namespace kv::win32
