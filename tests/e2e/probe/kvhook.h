/* The request block that kvprobe and kvhook.dll share inside the menu's process. */
#ifndef KVHOOK_H
#define KVHOOK_H

#include <windows.h>

#define KVHOOK_MAX_ITEMS 48
#define KVHOOK_TEXT_CHARS 128

struct kvhook_menu_item {
  DWORD ok;
  DWORD id;
  DWORD type;
  DWORD state;
  DWORD submenu;
  LONG left, top, right, bottom;
  WCHAR text[KVHOOK_TEXT_CHARS];
};

struct kvhook_menu_request {
  DWORD hmenu;
  LONG count;
  struct kvhook_menu_item items[KVHOOK_MAX_ITEMS];
};

#endif
