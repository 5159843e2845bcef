#pragma once
// Every help request of the program: the Windows Help file at the topic where the system has a
// viewer for it, otherwise the same topic of the HTML page beside the file, in the user's browser.
#include <string>

#include "platform/platform.h"

namespace kv {

void requestHelp(Platform& platform, WindowHandle owner, const std::string& helpFile, unsigned long topic);

// The page beside the help file (same folder and name, .htm) at the topic, as a file:/// address
// with forward slashes and every byte but unreserved ones, the slashes and the drive's colon
// percent-encoded from UTF-8: a browser takes it whatever the folder is called.
std::string helpPageAddress(const std::string& helpFile, unsigned long topic);

}  // namespace kv
