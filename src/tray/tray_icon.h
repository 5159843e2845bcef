#pragma once
// The tray icon: its record, its tooltip of all drives and the tray menu's drive entries.
#include <string>

#include "platform/shell.h"

namespace kv {

class App;

// The tooltip field: the text and a NUL, the rest blank; 63 characters at most.
void fillTip(std::array<char, 64>& field, const std::string& text);

class TrayIcon {
 public:
  explicit TrayIcon(App& app) : app_(app) {}
  void traysync();
  void trayremove();
  const TrayRecord& trayrec() const { return trayrec_; }

 private:
  App& app_;
  TrayRecord trayrec_;
};

}  // namespace kv
