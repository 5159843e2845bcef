#pragma once
// What a window hears from the desktop. Every call is an entry from the platform: the
// desktop runs it inside the failure boundary.

namespace kv {

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

// Mouse messages by the system's numbers, as the tray icon's callback carries them.
namespace mouse_message {
constexpr unsigned kMove = 0x200;       // WM_MOUSEMOVE
constexpr unsigned kLeftDown = 0x201;   // WM_LBUTTONDOWN
constexpr unsigned kRightDown = 0x204;  // WM_RBUTTONDOWN
}  // namespace mouse_message

class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // Pointer events relative to the window's client area, in the desktop's twips (as its place
  // is), so that a drag moves the window as far as the pointer went. While a button is held the
  // window keeps the mouse, so a press, its moves and its release share one origin.
  virtual void mouseDown(MouseButton, int /*x*/, int /*y*/) {}
  virtual void mouseMove(int /*x*/, int /*y*/) {}
  virtual void mouseUp(MouseButton, int /*x*/, int /*y*/) {}
  // A press and release on a control (button, check box, label that takes clicks).
  virtual void controlClicked(int /*id*/) {}
  // A mouse button released over a control or the window background; id 0 for the window.
  virtual void released(int /*id*/, MouseButton) {}
  virtual void menuChosen(int /*id*/) {}
  // The window became the active window: shown, clicked, or made the foreground window (also
  // when the user comes back to it from another program).
  virtual void activated() {}
  virtual void timer() {}
  // The window is drawn at another resolution now (moved to a screen of another DPI), laid out
  // anew at its twips: a text measured before may take another width. Heard under a message box
  // too, where the program may only take note of it.
  virtual void rescaled() {}
  // The desktop changed: a monitor came or went, or one's resolution changed.
  virtual void desktopChanged() {}
  // A drive came or went (a USB stick, a mapped share): the system tells every window.
  virtual void drivesChanged() {}
  // The Windows session ends (log-off, shutdown, restart, or an installer closing the program):
  // every window of the program hears it, and the process may be ended as soon as it returns.
  virtual void sessionEnding() {}
  // The close box, or the system's close command.
  virtual void closeRequested() {}
  // F1 with no menu shortcut of its own.
  virtual void helpKey() {}
  // The tray icon's callback: the mouse message that happened over the icon.
  virtual void trayMessage(unsigned /*mouseMessage*/) {}
  // The shell's notification area was created anew (the taskbar restarted).
  virtual void taskbarCreated() {}
};

}  // namespace kv
