/*
 * The tray icons Wine's shell shows, each with its tip and its place on the screen (kvprobe's tips, the
 * shell's contract). The shell gives every icon a tooltip control of its own, whose one tool covers the
 * icon; a deleted icon leaves its tooltip behind with an empty rectangle. Tooltip messages carry pointers
 * that are not marshalled, so the request and the text live in the shell's process.
 */
#pragma once
#include <windows.h>
#include <commctrl.h>

typedef void (*tray_icon_fn)(const wchar_t* tip, RECT place, void* context);

static inline void each_tray_icon(tray_icon_fn each, void* context) {
  HWND tip = NULL;
  DWORD shell = 0, owner = 0;
  GetWindowThreadProcessId(FindWindowW(L"Shell_TrayWnd", NULL), &shell);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, shell);
  BYTE* remote = process ? (BYTE*)VirtualAllocEx(process, NULL, 4096, MEM_COMMIT, PAGE_READWRITE) : NULL;
  while (remote && (tip = FindWindowExW(NULL, tip, TOOLTIPS_CLASSW, NULL))) {
    DWORD_PTR count = 0, ok = 0, i;
    GetWindowThreadProcessId(tip, &owner);
    if (owner != shell || !SendMessageTimeoutW(tip, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count)) continue;
    for (i = 0; i < count; ++i) {
      TTTOOLINFOW tool;
      wchar_t text[256];
      ZeroMemory(&tool, sizeof tool);
      ZeroMemory(text, sizeof text);
      tool.cbSize = sizeof tool;
      tool.lpszText = (wchar_t*)(remote + 512); /* the tool's text is copied there */
      WriteProcessMemory(process, remote, &tool, sizeof tool, NULL);
      WriteProcessMemory(process, remote + 512, text, sizeof text, NULL);
      if (!SendMessageTimeoutW(tip, TTM_ENUMTOOLSW, i, (LPARAM)remote, SMTO_ABORTIFHUNG, 2000, &ok) || !ok) continue;
      ReadProcessMemory(process, remote, &tool, sizeof tool, NULL);
      ReadProcessMemory(process, remote + 512, text, sizeof text - sizeof(wchar_t), NULL);
      if (IsRectEmpty(&tool.rect)) continue;
      MapWindowPoints(tool.hwnd, NULL, (POINT*)&tool.rect, 2);
      each(text, tool.rect, context);
    }
  }
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  if (process) CloseHandle(process);
}
