#pragma once
// What the program asks the desktop to build: a top-level window and its child controls,
// described in twips so that the desktop can place them at the screen's real resolution.
#include <string>
#include <utility>
#include <vector>

#include "platform/geometry.h"
#include "platform/handles.h"

namespace kv {

enum class ControlKind { Label, CheckBox, Button, Frame, Picture, TextBox, DriveList };

struct Font {
  std::string face = "MS Sans Serif";
  double points = 8.25;
};

enum class Image { None, OptionsBanner, AboutBanner };

struct ControlLayout {
  int id = 0;  // 100 and up; unique within the window
  ControlKind kind = ControlKind::Label;
  std::string name;  // the control's own name, such as Label4
  std::string text;
  Rect rect;       // relative to the parent: the window's client area or the frame
  int parent = 0;  // 0: the window; otherwise the id of the frame holding it
  Font font;
  Colour fore{0, 0, 0};
  Colour back{192, 192, 192};
  bool transparentBack = false;  // draws on the parent's background colour
  bool visible = true;
  // Hands its pointer events to the window (coordinates in the window's client area), so that
  // pressing on it is pressing on the window.
  bool forwardsMouse = false;
  Image image = Image::None;
};

// Adds a control to the window and returns it, for the rest of its look (before the next add).
inline ControlLayout& addControl(std::vector<ControlLayout>& controls, int id, ControlKind kind, std::string name,
                                 Rect rect, std::string text = {}, int parent = 0) {
  ControlLayout c;
  c.id = id;
  c.kind = kind;
  c.name = std::move(name);
  c.rect = rect;
  c.text = std::move(text);
  c.parent = parent;
  controls.push_back(std::move(c));
  return controls.back();
}

struct MenuEntry {
  int id = 0;           // command id; 0 for a separator
  std::string name;     // such as quitmenu
  std::string caption;  // "-" for a separator
  bool visible = true;
  std::string shortcut;  // "F1", "Ctrl+C", ...; shown beside the caption and bound as a key
  bool separator() const { return caption == "-"; }
};

inline MenuEntry menuEntry(int id, std::string name, std::string caption, std::string shortcut = {}) {
  return MenuEntry{id, std::move(name), std::move(caption), true, std::move(shortcut)};
}
inline MenuEntry menuSeparator(std::string name) {
  return MenuEntry{0, std::move(name), "-", true, {}};
}

struct Menu {
  std::string name;     // such as tsmenu
  std::string caption;  // such as "&Options" when the menu sits on a menu bar
  std::vector<MenuEntry> entries;
};

enum class WindowStyle {
  Hidden,      // never shown: the tray window
  Borderless,  // fixed dialog frame, no caption bar, not in the taskbar: the drive window
  Dialog       // fixed dialog frame with caption and close box
};

struct WindowLayout {
  std::string name;  // smallwindow, optionswindow, ...
  std::string caption;
  WindowStyle style = WindowStyle::Dialog;
  int clientWidth = 0;  // twips
  int clientHeight = 0;
  Colour back{192, 192, 192};
  int helpTopic = 0;  // F1 in this window asks for this topic; 0: none
  std::vector<ControlLayout> controls;
  std::vector<Menu> menuBar;
};

}  // namespace kv
