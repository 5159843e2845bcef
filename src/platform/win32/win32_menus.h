#pragma once
// Menus built from the program's menu descriptions, and the keyboard shortcuts of a menu bar.
#include <set>
#include <vector>

#include "platform/win32/win32_api.h"
#include "platform/window_layout.h"

namespace kv::win32 {

// A popup menu of the visible entries; the caller destroys it.
HMENU buildPopupMenu(const Menu&);
// A menu bar with one drop-down per menu; destroyed with the window that holds it.
HMENU buildMenuBar(const std::vector<Menu>&);
// The shortcuts of a menu bar's entries ("F1", "Ctrl+O"); null when there are none.
HACCEL buildAccelerators(const std::vector<Menu>&);
// The command ids of a menu bar's entries.
std::set<int> menuCommands(const std::vector<Menu>&);

}  // namespace kv::win32
