#pragma once
// The platform's help viewer.
#include <string>

#include "platform/handles.h"

namespace kv {

constexpr unsigned kHelpContext = 1;  // show the topic whose number is given

class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  virtual void show(WindowHandle owner, const std::string& file, unsigned command, unsigned long topic) = 0;
};

}  // namespace kv
