#pragma once
// The desktop port on the Windows user interface. One class, its work in one file per job:
//   desktop_windows.cpp    window classes, making and ending windows, their icons and timers
//   desktop_placement.cpp  showing and hiding, places, the topmost order and the monitors
//   desktop_controls.cpp   the controls' texts, checks and lists; popup menus
//   desktop_modal.cpp      modal showing and message boxes, and the owners they need
//   message_pump.cpp       the message pump and where keys go
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/failure.h"
#include "platform/process.h"
#include "platform/win32/dpi_scale.h"
#include "platform/win32/entry_rule.h"
#include "platform/win32/win32_window.h"

namespace kv::win32 {

class Win32Desktop final : public Desktop, public EntryRunner, private WindowHost {
 public:
  // Failures of the program's handlers are reported through this desktop and end the process.
  Win32Desktop(HINSTANCE module, Process& process, FailureNotice notice);
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  WindowHandle create(const WindowLayout&, WindowEvents&) override;
  void runEntry(const std::function<void()>& entry, UnderBox) override;
  void destroy(WindowHandle) override;
  void show(WindowHandle) override;
  void hide(WindowHandle) override;
  void bringToFront(WindowHandle) override;
  void runModal(WindowHandle, WindowHandle owner, const std::function<bool()>& stillOpen) override;
  void relayout(WindowHandle, const WindowLayout&) override;
  int textWidth(WindowHandle, const Font&, const std::string& text) override;
  Rect bounds(WindowHandle) override;
  void moveTo(WindowHandle, int left, int top) override;
  void setTopmost(WindowHandle, bool topmost) override;
  void setText(WindowHandle, int control, const std::string&) override;
  void setVisible(WindowHandle, int control, bool) override;
  void setChecked(WindowHandle, int control, bool) override;
  void setItems(WindowHandle, int control, const std::vector<std::string>&, int current) override;
  std::string currentItem(WindowHandle, int control) override;
  void startTimer(WindowHandle, unsigned milliseconds) override;
  void stopTimer(WindowHandle) override;
  int popupMenu(WindowHandle owner, const Menu&) override;
  void messageBox(WindowHandle owner, const std::string& text, const std::string& caption) override;
  bool messageBoxUp() const override { return boxesUp_ > 0; }
  void bringMessageBoxToFront() override;
  std::vector<Rect> monitors() override;
  IconHandle iconHandle(WindowHandle) override;
  void runEvents() override;

  // The owner of a help window or a message box: the window named, or the stand-in owner where
  // none is (or it is gone: a box with a missing owner would not be shown at all).
  HWND ownerOrStandIn(WindowHandle owner) const;
  // The windows made and not yet destroyed: a window gone leaves no record behind.
  std::size_t windowsKept() const { return windows_.size(); }

 private:
  struct ModalFrame {
    HWND window;
    HWND owner;
    bool ownerDisabled;
    HWND formerOwner;  // given back when the window stays loaded after its modal showing
  };

  // Shows the box above every window of the program and returns when it is gone. The system
  // disables the owner while the box is up; when the user closes it, closed runs first, and then
  // the system enables the owner and activates it. Without an owner the box is given one the
  // program never shows.
  void showMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                      const std::function<void()>& closed);
  // Every window of the program but the owner that takes input stops taking it; those are
  // returned, for enableAgain.
  std::vector<WindowHandle> disableAllBut(WindowHandle owner);
  void enableAgain(const std::vector<WindowHandle>&);
  void windowActivated(NativeWindow&) override;
  void windowGone(NativeWindow&) override;

  std::shared_ptr<NativeWindow> find(HWND) const;
  Control& control(WindowHandle, int id) const;
  void loadIcons();
  // The program's hidden window (the tray's), never shown, which stands in as owner.
  HWND standInOwner() const;
  // A hidden window of the desktop's own that owns the borderless windows, made on first use: an
  // owned window has no taskbar button on Windows nor under Wine (whose taskbar ignores
  // WS_EX_TOOLWINDOW).
  HWND taskbarHidingOwner();
  // Gives a modal window's owner back its input, before the modal window leaves the screen,
  // so that the system hands the activation back to the owner.
  void enableOwnerOf(HWND modalWindow);
  // Runs events while stillOpen() holds; a quit that comes meanwhile is left for runEvents.
  void runModalEvents(const std::function<bool()>& stillOpen);
  // One message from the queue: keys to menu shortcuts, F1 and the dialog manager first.
  void dispatch(MSG&);

  HINSTANCE module_;
  Process& process_;
  FailureNotice notice_;
  DpiScale systemScale_;  // new windows are sized at it, until they know their own
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  bool ownIcons_ = false;
  HWND taskbarHidingOwner_ = nullptr;
  std::map<HWND, std::shared_ptr<NativeWindow>> windows_;
  std::vector<ModalFrame> modal_;
  int boxesUp_ = 0;  // message boxes of the program on the screen, nested ones too
};

}  // namespace kv::win32
