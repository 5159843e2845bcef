#pragma once
// The child controls of a window: each a real system control carrying its text.
#include "platform/win32/win32_window.h"

namespace kv::win32 {

// Creates the brushes of the window and of its controls (before the window exists).
void preparePaint(NativeWindow&);

// Creates every control the window describes as a child of the window, in the order given,
// which is also the tab order. Controls inside a frame are children of the window too,
// placed at the frame's position plus their own. layOut follows, and fits the drive list.
void createControls(NativeWindow&, HINSTANCE);

// The window's client area at the layout's size (the frame around it follows), then its controls
// placed: at the window's DPI.
void layOut(NativeWindow&);

// Fonts and pictures made anew for the window's DPI, which has just changed, and the window laid out.
void rescale(NativeWindow&);

}  // namespace kv::win32
