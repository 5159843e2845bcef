#pragma once
// Everything the program reaches outside itself, in one bundle.
#include "platform/desktop.h"
#include "platform/disks.h"
#include "platform/files.h"
#include "platform/help.h"
#include "platform/process.h"
#include "platform/shell.h"

namespace kv {

struct Platform {
  Desktop& desktop;
  Shell& shell;
  Disks& disks;
  HelpViewer& help;
  Process& process;
  Files& files;
};

}  // namespace kv
