#pragma once
// The desktop port on the Windows user interface: windows, controls, menus, timers, modal
// showing, message boxes and the event loop.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/failure.h"
#include "platform/process.h"
#include "platform/win32/dpi_scale.h"
#include "platform/win32/win32_window.h"

namespace kv::win32 {

class Win32Desktop final : public Desktop, private WindowHost {
 public:
  // Failures of the program's handlers are reported through this desktop and end the process.
  Win32Desktop(HINSTANCE module, Process& process, FailureNotice notice);
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  WindowHandle create(const WindowLayout&, WindowEvents&) override;
  void destroy(WindowHandle) override;
  void show(WindowHandle) override;
  void hide(WindowHandle) override;
  void bringToFront(WindowHandle) override;
  void runModal(WindowHandle, WindowHandle owner, const std::function<bool()>& stillOpen) override;
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
  void bringMessageBoxToFront() override;
  int screenWidth() override;
  IconHandle iconHandle(WindowHandle) override;
  void runEvents() override;

  // The owner of a help window or a message box: the window named, or the stand-in owner where
  // none is (or it is gone: a box with a missing owner would not be shown at all).
  HWND ownerOrStandIn(WindowHandle owner) const;

 private:
  struct ModalFrame {
    HWND window;
    HWND owner;
    bool ownerDisabled;
    HWND formerOwner;  // given back when the window stays loaded after its modal showing
  };

  void showMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                      const std::function<void()>& closed) override;
  std::vector<WindowHandle> disableAllBut(WindowHandle owner) override;
  void enableAgain(const std::vector<WindowHandle>&) override;
  // The program's hidden window (the tray's), never shown, which stands in as owner.
  HWND standInOwner() const;
  void runEntry(const std::function<void()>&, UnderBox) override;
  void windowActivated(NativeWindow&) override;
  void windowGone(NativeWindow&) override;
  const DpiScale& scale() const override { return scale_; }

  std::shared_ptr<NativeWindow> find(HWND) const;
  Control& control(WindowHandle, int id) const;
  void loadIcons();
  // A hidden window of the desktop's own that owns the borderless windows, made on first use: an
  // owned window has no taskbar button on Windows nor under Wine (whose taskbar ignores
  // WS_EX_TOOLWINDOW).
  HWND taskbarHidingOwner();
  void registerClass(const std::string& name);
  // Gives a modal window's owner back its input, before the modal window leaves the screen,
  // so that the system hands the activation back to the owner.
  void enableOwnerOf(HWND modalWindow);
  void dispatch(MSG&);

  HINSTANCE module_;
  Process& process_;
  FailureNotice notice_;
  DpiScale scale_;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  bool ownIcons_ = false;
  HWND taskbarHidingOwner_ = nullptr;
  std::set<std::string> classes_;
  std::map<HWND, std::shared_ptr<NativeWindow>> windows_;
  std::vector<ModalFrame> modal_;
};

}  // namespace kv::win32
