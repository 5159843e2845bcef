#pragma once
// The child controls of a window: each a real system control carrying its text.
#include "platform/win32/win32_window.h"

namespace kv::win32 {

// Creates the brushes and fonts of the window and of its controls (before the window exists).
void preparePaint(NativeWindow&);

// Creates every control the window describes as a child of the window, in the order given,
// which is also the tab order. Controls inside a frame are children of the window too,
// placed at the frame's position plus their own.
void createControls(NativeWindow&, HINSTANCE);

// Moves and sizes every control to its place in the window's layout, once the layout has changed.
void placeControls(NativeWindow&);

}  // namespace kv::win32
