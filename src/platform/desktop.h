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
  // from (0: none) and modal to the whole program: the system keeps the owner from input, the
  // program's other windows are kept from it here, and atEntry holds off the program's entries,
  // so nothing the program does can be re-entered or unloaded under it. The other windows take
  // input again the moment the box closes, before the system hands the activation back to the
  // owner, so that the owner's activation finds the program whole again.
  void messageBox(WindowHandle owner, const std::string& text, const std::string& caption) {
    ++boxesUp_;
    const std::vector<WindowHandle> others = disableAllBut(owner);
    bool up = true;
    const std::function<void()> closed = [&] {
      if (!up) return;
      up = false;
      enableAgain(others);
      --boxesUp_;
    };
    struct Gone {  // whatever way the box ends
      const std::function<void()>& closed;
      ~Gone() { closed(); }
    } gone{closed};
    showMessageBox(owner, text, caption, closed);
  }
  bool messageBoxUp() const { return boxesUp_ > 0; }
  // The box that is up comes to the front, over the window of the program the user clicked.
  virtual void bringMessageBoxToFront() = 0;

  // The desktop's monitors, the primary first (its top left is 0, 0), each one's rectangle in
  // the desktop's twips: one scale for every place on the desktop, the primary monitor's DPI,
  // whatever the DPI of the monitor a window is on. Never empty.
  virtual std::vector<Rect> monitors() = 0;
  virtual IconHandle iconHandle(WindowHandle) = 0;  // the window's small icon

  // Runs events until the process ends.
  virtual void runEvents() = 0;

 protected:
  // Shows the box above every window of the program and returns when it is gone. The system
  // disables the owner while the box is up; when the user closes it, closed runs first, and then
  // the system enables the owner and activates it. Without an owner the box is given one the
  // program never shows.
  virtual void showMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                              const std::function<void()>& closed) = 0;
  // Every window of the program but the owner that takes input stops taking it; those are
  // returned, for enableAgain.
  virtual std::vector<WindowHandle> disableAllBut(WindowHandle owner) = 0;
  virtual void enableAgain(const std::vector<WindowHandle>&) = 0;

 private:
  int boxesUp_ = 0;
};

}  // namespace kv
