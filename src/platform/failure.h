#pragma once
// The one kind of failure nothing in the program handles, and the words that report it.
#include <stdexcept>
#include <string>

namespace kv {

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The failure box's caption and first words: the program's own, handed to the platform, which
// shows them when a failure escapes the program and then ends the process.
struct FailureNotice {
  std::string caption;
  std::string lead;
};

}  // namespace kv
