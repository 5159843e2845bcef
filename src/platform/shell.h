#pragma once
// The shell: the notification-area icon and the program that opens web pages.
#include <array>
#include <string>

#include "platform/handles.h"

namespace kv {

// The fields of the shell's notification record in its first, ANSI version. The shell takes
// it at that version's size for the target (88 bytes on 32-bit Windows), which it sets itself.
struct TrayRecord {
  WindowHandle hWnd = 0;
  unsigned uID = 0;
  unsigned uFlags = 0;
  unsigned uCallbackMessage = 0;
  IconHandle hIcon = 0;
  std::array<char, 64> szTip{};
};

enum class TrayCommand { Add = 0, Modify = 1, Delete = 2 };

// Which of the record's fields the shell takes, by the system's numbers.
enum TrayField : unsigned {
  kTrayCallback = 1,  // NIF_MESSAGE: uCallbackMessage
  kTrayIcon = 2,      // NIF_ICON: hIcon
  kTrayTip = 4,       // NIF_TIP: szTip
};

// The shell's launch functions answer a number above 32 on success, an error code otherwise.
inline bool shellSucceeded(int result) {
  return result > 32;
}

class Shell {
 public:
  virtual ~Shell() = default;
  // Whether the shell carried it out. It refuses to add an icon it has, to modify or delete one
  // it does not have (it may lose one without saying so), and at log-on, for a while, any.
  virtual bool notifyIcon(TrayCommand, const TrayRecord&) = 0;
  // The program registered for the document's type; see shellSucceeded.
  virtual int findExecutable(const std::string& document, std::string& program) = 0;
  // Starts the program with the parameters; see shellSucceeded.
  virtual int execute(WindowHandle owner, const std::string& program, const std::string& parameters) = 0;
};

}  // namespace kv
