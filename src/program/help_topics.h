#pragma once
// The help file's topics the program opens, by what asks for them.

namespace kv {

enum HelpTopic : unsigned long {
  kHelpDriveWindow = 100,  // the drive window and its menu's Help
  kHelpOptions = 200,
  kHelpAbout = 300,
  kHelpTrayMenu = 400,
  kHelpFirstRun = 30000,  // the set-up of a first run
};

}  // namespace kv
