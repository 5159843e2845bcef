#pragma once
// The platform's help viewer.
#include <string>

#include "platform/handles.h"

namespace kv {

// What the viewer is asked to do, by the system's numbers.
enum class HelpCommand : unsigned {
  ShowTopic = 1,  // HELP_CONTEXT: the topic whose context number is given
};

class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  // Whether the system has a viewer for Windows Help files; where it has none, the program's help
  // goes to the same topics as an HTML page.
  virtual bool showsHelpFiles() = 0;
  virtual void show(WindowHandle owner, const std::string& file, HelpCommand, unsigned long topic) = 0;
};

}  // namespace kv
