#pragma once
// The hidden tray window: it receives the tray icon's mouse events and owns the tray menu.
#include <optional>
#include <string>

#include "forms/form.h"
#include "platform/window_events.h"
#include "program/program.h"

namespace kv {

class TrayWindow : public Form {
 public:
  enum MenuCommand {
    FirstDrive = 501,  // the six drive entries: 501..506
    Show = 510,
    Options,
    About,
    Help,
    Quit,
  };
  // The message the shell sends this window for the icon's mouse events: the mouse-move
  // message's number, which means nothing else to a window never under the pointer.
  static constexpr unsigned kCallbackMessage = mouse_message::kMove;

  TrayWindow(FormHost& host, Program& program);

  // Sets drive entry slot 0..5: a caption, or hidden with its caption kept.
  void setDriveEntry(int slot, const std::optional<std::string>& caption);
  IconHandle icon() { return desktop().iconHandle(handle()); }

  void trayMessage(unsigned mouseMessage) override;
  void taskbarCreated() override { program_.trayIconLost(); }
  void drivesChanged() override { program_.drivesChanged(); }
  void closeRequested() override {}

 protected:
  WindowLayout describe() const override;

 private:
  void popUpMenu();

  Program& program_;
  Menu menu_;
};

}  // namespace kv
