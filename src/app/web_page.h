#pragma once
// Opens a web page in the program the system uses for HTML files.
#include <string>

#include "platform/platform.h"

namespace kv {

void openweb(Platform& platform, WindowHandle owner, const std::string& address);

}  // namespace kv
