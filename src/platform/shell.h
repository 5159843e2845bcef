#pragma once
// The shell: the notification-area icon and the program that opens web pages.
#include <array>
#include <string>

namespace kv {

// The shell's notification record in its original 88-byte ANSI layout.
struct TrayRecord {
  unsigned cbSize = 0;
  unsigned hWnd = 0;
  unsigned uID = 0;
  unsigned uFlags = 0;
  unsigned uCallbackMessage = 0;
  unsigned hIcon = 0;
  std::array<char, 64> szTip{};
};
static_assert(sizeof(TrayRecord) == 88, "the shell expects 88 bytes");

enum class TrayCommand { Add = 0, Modify = 1, Delete = 2 };

class Shell {
 public:
  virtual ~Shell() = default;
  virtual void notifyIcon(TrayCommand, const TrayRecord&) = 0;
  // The program registered for the document's type; result above 32 on success.
  virtual int findExecutable(const std::string& document, std::string& program) = 0;
  // Starts the program with the parameters; result above 32 on success.
  virtual int execute(unsigned long owner, const std::string& program, const std::string& parameters) = 0;
};

}  // namespace kv
