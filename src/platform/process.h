#pragma once
// The running process: its identity, its command line and its end.
#include <string>

namespace kv {

struct VersionNumbers {
  int major = 0;
  int minor = 0;
  int revision = 0;
};

class Process {
 public:
  virtual ~Process() = default;
  // True when another copy of the program is already running.
  virtual bool previousInstance() = 0;
  virtual std::string commandLine() = 0;  // the arguments, without the program's own name
  virtual std::string exeFolder() = 0;    // no trailing separator unless it is a drive root
  virtual VersionNumbers version() = 0;   // from the executable's own version block
  virtual char decimalSeparator() = 0;    // from the user's regional settings
  // A clock in milliseconds for measuring intervals: it wraps after 49.7 days, so only the
  // difference of two readings means anything.
  virtual unsigned milliseconds() = 0;
  // Ends the process at once. The real one never returns; a fake one may, by throwing.
  virtual void end(int code) = 0;
};

}  // namespace kv
