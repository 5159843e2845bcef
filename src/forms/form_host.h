#pragma once
// What all windows share: the desktop, the help viewer, the program-wide help file for F1,
// and which window, if any, is shown modally right now.
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/help.h"

namespace kv {

class Form;

struct FormHost {
  Desktop& desktop;
  HelpViewer& help;
  std::string programHelpFile;
  std::vector<Form*> modalStack;
};

}  // namespace kv
