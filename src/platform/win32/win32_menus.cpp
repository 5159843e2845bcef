#include "platform/win32/win32_menus.h"

#include <cctype>
#include <string>

#include "platform/failure.h"
#include "platform/win32/text_encoding.h"

namespace kv::win32 {
namespace {

constexpr int kFunctionKeys = 24;  // F1 to F24

bool startsWith(const std::string& text, const char* prefix, std::string& rest) {
  const std::string p(prefix);
  if (text.compare(0, p.size(), p) != 0) return false;
  rest = text.substr(p.size());
  return true;
}

WORD keyOf(const std::string& key) {
  if (key.size() == 1 && std::isalnum(static_cast<unsigned char>(key[0])))
    return static_cast<WORD>(std::toupper(static_cast<unsigned char>(key[0])));
  if (key.size() >= 2 && key.size() <= 3 && key[0] == 'F') {
    int number = 0;
    for (size_t i = 1; i < key.size(); ++i) {
      if (!std::isdigit(static_cast<unsigned char>(key[i]))) return 0;
      number = number * 10 + (key[i] - '0');
    }
    if (number >= 1 && number <= kFunctionKeys) return static_cast<WORD>(VK_F1 + number - 1);
  }
  if (key == "Del") return VK_DELETE;
  if (key == "Ins") return VK_INSERT;
  return 0;
}

ACCEL acceleratorOf(const MenuEntry& entry) {
  ACCEL accel{};
  accel.fVirt = FVIRTKEY;
  std::string rest = entry.shortcut;
  for (bool modifier = true; modifier;) {
    if (startsWith(rest, "Ctrl+", rest))
      accel.fVirt |= FCONTROL;
    else if (startsWith(rest, "Shift+", rest))
      accel.fVirt |= FSHIFT;
    else if (startsWith(rest, "Alt+", rest))
      accel.fVirt |= FALT;
    else
      modifier = false;
  }
  accel.key = keyOf(rest);
  if (accel.key == 0) throw Failure("The menu entry " + entry.name + " has an unknown shortcut: " + entry.shortcut);
  accel.cmd = static_cast<WORD>(entry.id);
  return accel;
}

}  // namespace

HMENU buildPopupMenu(const Menu& menu) {
  HMENU popup = CreatePopupMenu();
  for (const MenuEntry& entry : menu.entries) {
    if (!entry.visible) continue;
    if (entry.separator()) {
      AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::string caption = entry.caption;
    if (!entry.shortcut.empty()) caption += "\t" + entry.shortcut;
    AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(entry.id), fromAnsi(caption).c_str());
  }
  return popup;
}

HMENU buildMenuBar(const std::vector<Menu>& menus) {
  HMENU bar = CreateMenu();
  for (const Menu& menu : menus)
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(buildPopupMenu(menu)), fromAnsi(menu.caption).c_str());
  return bar;
}

HACCEL buildAccelerators(const std::vector<Menu>& menus) {
  std::vector<ACCEL> table;
  for (const Menu& menu : menus)
    for (const MenuEntry& entry : menu.entries)
      if (entry.visible && !entry.shortcut.empty() && !entry.separator()) table.push_back(acceleratorOf(entry));
  if (table.empty()) return nullptr;
  return CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

std::set<int> menuCommands(const std::vector<Menu>& menus) {
  std::set<int> ids;
  for (const Menu& menu : menus)
    for (const MenuEntry& entry : menu.entries)
      if (entry.visible && !entry.separator()) ids.insert(entry.id);
  return ids;
}

}  // namespace kv::win32
