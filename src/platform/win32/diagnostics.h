#pragma once
// The program's own figures for outside tools: any window of the program answers these
// registered messages with a number, so the end-to-end tests and the benchmark can watch for
// leaks from outside (Wine's GetGuiResources and the other process's counters fall short).
//   "Kestrovan99.GdiObjects"    live GDI objects the program made
//   "Kestrovan99.PrivateBytes"  the process's private bytes
//   "Kestrovan99.Handles"       open kernel handles
// Nothing else in the program sends or reads them.
#include "platform/win32/win32_api.h"

namespace kv::win32 {

// True when the message is one of these questions; the answer is then set.
bool answerDiagnostics(UINT message, LRESULT& answer);

}  // namespace kv::win32
