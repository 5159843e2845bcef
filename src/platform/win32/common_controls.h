#pragma once
// The themed controls (common controls 6) for the windows that need them: while a CommonControls
// lives, the windows, controls and message boxes made on this thread get them. The process's own
// manifest does not ask for them, so a window of labels alone (the drive window) is made of the
// system's plain labels, which draw the same, and the common controls load only when the first
// window that shows a button, a list or a text box is made: under Wine, loading them costs the
// process about 1.7 MB for good (among others, three standard tooltip icons of 256 x 256 pixels).
#include "platform/win32/win32_api.h"

namespace kv::win32 {

class CommonControls {
 public:
  // Without the wish, the manifest (kvcontract.exe has none) or the system's support, nothing changes.
  explicit CommonControls(bool wanted = true);
  ~CommonControls();
  CommonControls(const CommonControls&) = delete;
  CommonControls& operator=(const CommonControls&) = delete;

 private:
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};

}  // namespace kv::win32
