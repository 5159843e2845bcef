#include "app/help_request.h"

#include "app/web_page.h"

namespace kv {

namespace {
bool separator(char c) {
  return c == '\\' || c == '/';
}
bool unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

std::string pagePath(const std::string& helpFile) {
  const std::size_t name = helpFile.find_last_of("\\/") + 1;  // 0 without a folder
  const std::size_t dot = helpFile.rfind('.');
  return helpFile.substr(0, dot == std::string::npos || dot < name ? helpFile.size() : dot) + ".htm";
}
}  // namespace

std::string helpPageAddress(const std::string& helpFile, unsigned long topic) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string address = "file:///";
  const std::string path = pagePath(helpFile);
  for (std::size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = path[i];
    if (separator(c)) {
      // A share's name starts with two separators; elsewhere two in a row come from joining a
      // name to a drive's root folder, and the address has one.
      if (i < 2 || !separator(path[i - 1])) address += '/';
    } else if (unreserved(c) || c == ':') {
      address += static_cast<char>(c);
    } else {
      address += '%';
      address += kHex[c >> 4];
      address += kHex[c & 0xF];
    }
  }
  return address + "#topic-" + std::to_string(topic);
}

void requestHelp(Platform& platform, WindowHandle owner, const std::string& helpFile, unsigned long topic) {
  if (platform.help.showsHelpFiles())
    platform.help.show(owner, helpFile, HelpCommand::ShowTopic, topic);
  else
    openweb(platform, owner, helpPageAddress(helpFile, topic));
}

}  // namespace kv
