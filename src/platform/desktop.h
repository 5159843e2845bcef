#pragma once
// The windowing system, as far as the program needs it.
#include <functional>
#include <string>
#include <vector>

#include "platform/geometry.h"
#include "platform/window_events.h"
#include "platform/window_layout.h"

namespace kv {

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Builds the window hidden, with its controls; events go to the sink until it is destroyed.
  virtual WindowHandle create(const WindowLayout&, WindowEvents&) = 0;
  virtual void destroy(WindowHandle) = 0;

  virtual void show(WindowHandle) = 0;  // modeless, activated
  virtual void hide(WindowHandle) = 0;
  virtual void bringToFront(WindowHandle) = 0;
  // Shows the window with its owner disabled and runs events until stillOpen() is false.
  virtual void runModal(WindowHandle, WindowHandle owner, const std::function<bool()>& stillOpen) = 0;

  // The same window laid out anew: its controls at the layout's places and sizes, its client
  // area at the layout's size; it keeps its place on the screen.
  virtual void relayout(WindowHandle, const WindowLayout&) = 0;
  // How wide the text is in the font, in twips, as the window draws it now (see rescaled).
  virtual int textWidth(WindowHandle, const Font&, const std::string& text) = 0;

  // The window's outer rectangle on the desktop, in the desktop's twips (see monitors).
  virtual Rect bounds(WindowHandle) = 0;
  virtual void moveTo(WindowHandle, int left, int top) = 0;
  // Into (true) or out of (false) the topmost order; does not activate.
  virtual void setTopmost(WindowHandle, bool topmost) = 0;

  virtual void setText(WindowHandle, int control, const std::string&) = 0;
  virtual void setVisible(WindowHandle, int control, bool) = 0;
  virtual void setChecked(WindowHandle, int control, bool) = 0;
  // A list control's entries and its current entry.
  virtual void setItems(WindowHandle, int control, const std::vector<std::string>&, int current) = 0;
  virtual std::string currentItem(WindowHandle, int control) = 0;

  virtual void startTimer(WindowHandle, unsigned milliseconds) = 0;
  virtual void stopTimer(WindowHandle) = 0;

  // Pops the menu up at the pointer and returns the chosen entry's id, 0 when none was chosen.
  virtual int popupMenu(WindowHandle owner, const Menu&) = 0;

  // A message box with an OK button (texts in UTF-8), owned by the window the user's action came
  // from (0: none) and modal to the whole program: while it is up none of the program's windows
  // takes input, and the program's timers and the user's actions on its windows are held off (a
  // press brings the box to the front instead); the system's news still comes. Returns once the
  // box is closed. The other windows take input again as it closes, before the owner is
  // activated, so that the owner's activation finds the program whole.
  virtual void messageBox(WindowHandle owner, const std::string& text, const std::string& caption) = 0;
  // Whether a message box of the program is up: what would lay out or re-enter the program's
  // windows waits for it to close.
  virtual bool messageBoxUp() const = 0;
  // The box that is up comes to the front, over the window of the program the user clicked.
  virtual void bringMessageBoxToFront() = 0;

  // The desktop's monitors, the primary first (its top left is 0, 0), each one's rectangle in
  // the desktop's twips: one scale for every place on the desktop, the primary monitor's DPI,
  // whatever the DPI of the monitor a window is on. Never empty.
  virtual std::vector<Rect> monitors() = 0;
  virtual IconHandle iconHandle(WindowHandle) = 0;  // the window's small icon

  // Runs events until the process ends.
  virtual void runEvents() = 0;
};

}  // namespace kv
