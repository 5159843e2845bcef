#pragma once
// The world the desktop's contract runs in: the desktop under test, what the screen shows of its
// windows (in twips, as the program gives them) and a user who acts on them, also while a menu,
// a modal window or a message box is up. The fake's is fake_desktop_world.cpp, Windows' is
// win32/win32_desktop_world.cpp.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace kv::contract {

enum class Pointer { Down, Move, Up };
enum class SystemEvent { TaskbarCreated, DisplayChanged, SessionEnds, SessionGoesOn, DriveArrived, PortArrived };

class DesktopWorld {
 public:
  virtual ~DesktopWorld() = default;
  virtual Desktop& desktop() = 0;
  // Runs events (and lets time pass) until done() holds; false when it did not within ms.
  virtual bool runUntil(const std::function<bool()>& done, unsigned ms = 5000) = 0;
  virtual int twipsPerPixel() = 0;  // what the places and sizes below are rounded to
  virtual Rect workArea() = 0;      // the primary monitor's, without the taskbar

  // What the screen shows. Control 0 is the window itself.
  virtual bool exists(WindowHandle) = 0;
  virtual bool visible(WindowHandle, int control = 0) = 0;  // as its own style says, shown or not
  virtual bool takesInput(WindowHandle) = 0;
  virtual WindowHandle active() = 0;
  virtual int focused(WindowHandle) = 0;  // the control with the keyboard focus, 0: none of its
  virtual bool topmost(WindowHandle) = 0;
  // In the desktop's twips (the primary monitor's), at 0, 0, and in the window's client area.
  virtual Rect clientArea(WindowHandle) = 0;
  virtual Rect controlPlace(WindowHandle, int control) = 0;
  virtual std::string text(WindowHandle, int control) = 0;
  virtual bool checked(WindowHandle, int control) = 0;
  virtual int drawnWidth(WindowHandle, int control) = 0;            // of its text in the font it draws with, as above
  virtual Font drawnFont(WindowHandle, int control) = 0;            // its points as the desktop's twips make them
  virtual Colour colour(WindowHandle, int control, bool text) = 0;  // its text's or its background's
  virtual Rect imageSize(WindowHandle, int control) = 0;            // the picture's, as above
  // The entries of the popup menu that is up (0), or of the window's menu bar after each menu's
  // caption: "&Caption", "&Entry\tShortcut", "-" for a separator.
  virtual std::vector<std::string> menuShown(WindowHandle = 0) = 0;
  virtual std::string boxText() = 0;         // the message box's text, while one is up
  virtual bool boxInFront() = 0;             // a box is up and the foreground window
  virtual int gdiObjects(WindowHandle) = 0;  // the drawing objects the program holds, as its window says

  // What the user does. Pointer places are relative to the control (or the client area); on a
  // window that takes no input, a press only tells the window the pointer is on it.
  virtual void pointer(WindowHandle, int control, Pointer, MouseButton, int x, int y) = 0;
  virtual void click(WindowHandle, int control) = 0;  // a left press and release at its centre
  virtual void pick(WindowHandle, int control, int entry) = 0;
  virtual void press(WindowHandle, const std::string& key) = 0;  // "F1", "Ctrl+C", "Alt+F", "Esc", "Enter"
  virtual void close(WindowHandle) = 0;                          // the close command of its system menu
  virtual void switchAway() = 0;                                 // to another program's window
  virtual void tell(WindowHandle, SystemEvent) = 0;
  virtual void rescale(WindowHandle, int dpi) = 0;  // the window's monitor draws at this DPI now
  // The next time one is up: look() runs while it is, then the user chooses the entry of the
  // letter (0: Esc), answers OK, or closes the window with its close box.
  virtual void inNextMenu(std::function<void()> look, char letter) = 0;
  virtual void inNextBox(std::function<void()> look) = 0;
  virtual void inNextModal(WindowHandle, std::function<void()> look) = 0;
};

std::unique_ptr<DesktopWorld> makeDesktopWorld();

}  // namespace kv::contract
