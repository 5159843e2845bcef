#include "app/web_page.h"

#include "program/program.h"

namespace kv {

namespace {
std::string trimBlanks(const std::string& s) {
  std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return std::string();
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}
}  // namespace

void openweb(Platform& platform, WindowHandle owner, const std::string& address) {
  // The lookup needs a real .htm file; it gets a fresh name in the temporary folder so that
  // no file of the user's is ever overwritten or deleted.
  std::string page = platform.files.createTemporary(".htm", "\" \"\r\n");
  std::string program;
  int found = page.empty() ? 0 : platform.shell.findExecutable(page, program);
  program = trimBlanks(program);
  if (!shellSucceeded(found)) {
    platform.desktop.messageBox(owner, "Error: No web browser found.", kProgramTitle);
  } else if (!shellSucceeded(platform.shell.execute(owner, program, address))) {
    platform.desktop.messageBox(owner, "Error: Could not open web page.", kProgramTitle);
  }
  if (!page.empty()) platform.files.remove(page);
}

}  // namespace kv
