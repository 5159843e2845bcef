#pragma once
// The worlds of the shell's, the help viewer's and the drives' contracts: the port under test and
// what the contract needs around it. The fake's are in fake_ports_world.cpp, Windows' in
// win32/shell_world.cpp and win32/help_disks_world.cpp.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/disks.h"
#include "platform/help.h"
#include "platform/shell.h"

namespace kv::contract {

class ShellWorld {
 public:
  virtual ~ShellWorld() = default;
  virtual Shell& shell() = 0;
  // A hidden window of the program's, as the tray's is, and the icon it shows.
  virtual WindowHandle window() = 0;
  virtual IconHandle icon() = 0;
  // The tips of the icons the shell shows in the notification area.
  virtual std::vector<std::string> tipsShown() = 0;
  // The user moves the mouse onto the icon showing this tip, where there is one: the mouse
  // messages the window took as the icon's callback meanwhile, once one came or seconds passed.
  virtual std::vector<unsigned> pointAt(const std::string& tip) = 0;
  // A document that exists, of the web page type (.htm) with a browser registered for it, or of
  // a type nobody registered.
  virtual std::string document(bool registered) = 0;
  virtual std::string browser() = 0;  // the registered browser's file, as the system names it
  // The parameters of the browser's starts, once there are this many or a few seconds passed.
  virtual std::vector<std::string> browserStarts(std::size_t count) = 0;
};

class HelpWorld {
 public:
  virtual ~HelpWorld() = default;
  virtual HelpViewer& help() = 0;
  virtual bool systemHasHelpViewer() = 0;
  virtual std::string missingFile() = 0;
  // From now on the user closes each message the viewer puts up.
  virtual void closeViewerMessages() = 0;
};

class DisksWorld {
 public:
  virtual ~DisksWorld() = default;
  virtual Disks& disks() = 0;
  // The windows' thread takes its events until the condition holds or a few seconds passed.
  virtual bool runEventsUntil(const std::function<bool()>& done) = 0;
  virtual std::vector<char> letters() = 0;                 // of the drives there are, lower case, in order
  virtual std::string label(const std::string& root) = 0;  // the drive's, as the system names it
};

std::unique_ptr<ShellWorld> makeShellWorld();
std::unique_ptr<HelpWorld> makeHelpWorld();
std::unique_ptr<DisksWorld> makeDisksWorld();

}  // namespace kv::contract
