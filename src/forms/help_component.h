#pragma once
// A window's help component: a file, a command and a topic, handed to the help viewer.
#include <functional>
#include <string>

#include "platform/help.h"

namespace kv {

class HelpComponent {
 public:
  HelpComponent(HelpViewer& viewer, std::function<WindowHandle()> owner) : viewer_(viewer), owner_(std::move(owner)) {}

  std::string HelpFile;
  unsigned HelpCommand = 0;
  unsigned long HelpContext = 0;

  void ShowHelp() { viewer_.show(owner_(), HelpFile, HelpCommand, HelpContext); }

 private:
  HelpViewer& viewer_;
  std::function<WindowHandle()> owner_;
};

}  // namespace kv
