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

  // Outer rectangle on the screen, in twips.
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

  // A message box with an OK button (texts in UTF-8), modal to the whole program: its windows
  // take no input while it is up, and no entry of the program runs (see atEntry), so nothing
  // the program does can be re-entered or unloaded under it.
  void messageBox(WindowHandle owner, const std::string& text, const std::string& caption) {
    ++boxesUp_;
    struct Closed {
      int& boxes;
      ~Closed() { --boxes; }
    } closed{boxesUp_};
    showMessageBox(owner, text, caption);
  }
  bool messageBoxUp() const { return boxesUp_ > 0; }

  virtual int screenWidth() = 0;                       // twips
  virtual IconHandle iconHandle(WindowHandle) = 0;  // the window's small icon

  // Runs events until the process ends.
  virtual void runEvents() = 0;

 protected:
  // Shows the box with every window of the program disabled, and returns when it is closed.
  virtual void showMessageBox(WindowHandle owner, const std::string& text, const std::string& caption) = 0;

 private:
  int boxesUp_ = 0;
};

}  // namespace kv
