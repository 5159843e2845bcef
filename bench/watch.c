/*
 * kvwatch: the benchmarks' eyes inside the Wine session, one JSON line per answer.
 *
 *   wait <class> <ms> [any]          a visible top-level window of the class (the shell's
 *                                    taskbar, say; with "any", shown or not): handle and process
 *   ready <class> <ms> [tray|icon]   prints a first line as soon as it watches, then the Unix
 *                                    milliseconds at which a visible window of the class (and
 *                                    with "tray", one more tray icon with a tip; with "icon",
 *                                    one more tray icon, its tip empty or not) appeared, and
 *                                    once its process waits for input, its memory
 *   regmsg <name> <hwnd>             sends the registered message, prints the answer
 *   pump <hwnd> <msg> <wparam> <lparam> <count> <interval-ms>   the same message, again and again
 *   bits                             32 or 64: the proof that Wine runs this build here at all
 *
 * Handles are printed and read as unsigned decimal numbers of the build's full pointer width.
 * Exit code 0 when found or done, 1 when not (timed out), 2 on a usage error.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static unsigned long long unix_ms(void) {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  unsigned long long t = ((unsigned long long)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
  return t / 10000ULL - 11644473600000ULL;
}

static unsigned long long num(const char* text) {
  return strtoull(text, NULL, 0);
}

static HWND top_window(const char* cls, int visible) {
  HWND h = FindWindowA(cls, NULL);
  while (h && visible && !IsWindowVisible(h)) h = FindWindowExA(NULL, h, cls, NULL);
  return h;
}

/* The shell's tooltip tools carry pointers that are not marshalled: the request and the text
   buffer live in the shell's process, whose word size is ours (each build has a prefix of its own). */
struct tip_search {
  DWORD shell;
  HANDLE process;
  BYTE* remote;
  int any_tip; /* an empty one too */
  int shown;
};

static BOOL CALLBACK count_tip(HWND h, LPARAM lp) {
  struct tip_search* s = (struct tip_search*)lp;
  char cls[64];
  DWORD pid = 0, tools = 0;
  GetWindowThreadProcessId(h, &pid);
  GetClassNameA(h, cls, sizeof cls);
  if (pid != s->shell || lstrcmpiA(cls, TOOLTIPS_CLASSA) || (GetWindowLongW(h, GWL_STYLE) & TTS_BALLOON)) return TRUE;
  tools = (DWORD)SendMessageW(h, TTM_GETTOOLCOUNT, 0, 0);
  for (DWORD i = 0; i < tools; ++i) {
    TTTOOLINFOW t;
    wchar_t text[2] = {0, 0};
    ZeroMemory(&t, sizeof t);
    t.cbSize = sizeof t;
    t.lpszText = (wchar_t*)(s->remote + 256);
    WriteProcessMemory(s->process, s->remote, &t, sizeof t, NULL);
    WriteProcessMemory(s->process, s->remote + 256, text, sizeof text, NULL);
    if (!SendMessageW(h, TTM_ENUMTOOLSW, i, (LPARAM)s->remote)) continue;
    ReadProcessMemory(s->process, s->remote, &t, sizeof t, NULL);
    t.lpszText = (wchar_t*)(s->remote + 256);
    WriteProcessMemory(s->process, s->remote, &t, sizeof t, NULL);
    SendMessageW(h, TTM_GETTEXTW, 80, (LPARAM)s->remote);
    ReadProcessMemory(s->process, s->remote + 256, text, sizeof text, NULL);
    if ((text[0] || s->any_tip) && !IsRectEmpty(&t.rect)) /* the shell empties the rectangle of a gone icon */
      s->shown++;
  }
  return TRUE;
}

/* Tray icons shown with a tip (any_tip: or without). */
static int tray_icons(int any_tip) {
  struct tip_search s = {0, NULL, NULL, any_tip, 0};
  HWND tray = FindWindowA("Shell_TrayWnd", NULL);
  if (!tray) return 0;
  GetWindowThreadProcessId(tray, &s.shell);
  s.process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, s.shell);
  if (!s.process) return 0;
  s.remote = VirtualAllocEx(s.process, NULL, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (s.remote) {
    EnumWindows(count_tip, (LPARAM)&s);
    VirtualFreeEx(s.process, s.remote, 0, MEM_RELEASE);
  }
  CloseHandle(s.process);
  return s.shown;
}

static void print_window(HWND h) {
  DWORD pid = 0;
  if (h) GetWindowThreadProcessId(h, &pid);
  printf("{\"hwnd\": %llu, \"pid\": %lu}\n", (unsigned long long)(ULONG_PTR)h, (unsigned long)pid);
}

static int cmd_wait(const char* cls, DWORD timeout, int visible) {
  DWORD start = GetTickCount();
  HWND h;
  while (!(h = top_window(cls, visible)) && GetTickCount() - start < timeout) Sleep(20);
  print_window(h);
  return h ? 0 : 1;
}

/* Its memory once the process waits for input with nothing queued. */
static void print_settled(DWORD pid, DWORD timeout) {
  HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, pid);
  PROCESS_MEMORY_COUNTERS m;
  ZeroMemory(&m, sizeof m);
  DWORD idle = p ? WaitForInputIdle(p, timeout) : WAIT_FAILED;
  if (p) GetProcessMemoryInfo(p, &m, sizeof m);
  /* Wine fills PagefileUsage, the private bytes, for other processes. */
  printf(", \"idle\": %s, \"working_set\": %llu, \"private_bytes\": %llu", idle == 0 ? "true" : "false",
         (unsigned long long)m.WorkingSetSize, (unsigned long long)m.PagefileUsage);
  if (p) CloseHandle(p);
}

static int cmd_ready(const char* cls, DWORD timeout, int tray, int any_tip) {
  unsigned long long window_ms = 0, tray_ms = 0;
  DWORD start = GetTickCount(), pid = 0;
  int icons_before = tray ? tray_icons(any_tip) : 0; /* a killed program's icon stays in Wine's tray */
  HWND h = NULL;
  printf("{\"watching\": %llu}\n", unix_ms());
  fflush(stdout);
  while ((!window_ms || (tray && !tray_ms)) && GetTickCount() - start < timeout) {
    if (!window_ms && (h = top_window(cls, 1)) != NULL) window_ms = unix_ms();
    if (tray && !tray_ms && tray_icons(any_tip) > icons_before) tray_ms = unix_ms();
    Sleep(2);
  }
  if (h) GetWindowThreadProcessId(h, &pid);
  printf("{\"hwnd\": %llu, \"pid\": %lu, \"window_ms\": %llu, \"tray_ms\": %llu", (unsigned long long)(ULONG_PTR)h,
         (unsigned long)pid, window_ms, tray_ms);
  if (pid) print_settled(pid, timeout);
  printf("}\n");
  return window_ms && (!tray || tray_ms) ? 0 : 1;
}

static int cmd_regmsg(const char* name, HWND h) {
  DWORD_PTR answer = 0;
  BOOL sent = SendMessageTimeoutA(h, RegisterWindowMessageA(name), 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) != 0;
  printf("{\"result\": %llu}\n", (unsigned long long)answer);
  return sent ? 0 : 1;
}

static int cmd_pump(char** a) {
  HWND h = (HWND)(ULONG_PTR)num(a[0]);
  unsigned long long count = num(a[4]);
  for (unsigned long long i = 0; i < count && IsWindow(h); ++i) {
    SendMessageW(h, (UINT)num(a[1]), (WPARAM)num(a[2]), (LPARAM)num(a[3]));
    Sleep((DWORD)num(a[5]));
  }
  printf("{\"sent\": %llu}\n", count);
  return 0;
}

int main(int argc, char** argv) {
  const char* cmd = argc > 1 ? argv[1] : "";
  int n = argc - 2;
  char** a = argv + 2;
  int rc = 2;
  if (!strcmp(cmd, "wait") && n >= 2)
    rc = cmd_wait(a[0], (DWORD)num(a[1]), !(n > 2 && !strcmp(a[2], "any")));
  else if (!strcmp(cmd, "ready") && n >= 2)
    rc = cmd_ready(a[0], (DWORD)num(a[1]), n > 2 && (!strcmp(a[2], "tray") || !strcmp(a[2], "icon")),
                   n > 2 && !strcmp(a[2], "icon"));
  else if (!strcmp(cmd, "regmsg") && n >= 2)
    rc = cmd_regmsg(a[0], (HWND)(ULONG_PTR)num(a[1]));
  else if (!strcmp(cmd, "pump") && n >= 6)
    rc = cmd_pump(a);
  else if (!strcmp(cmd, "bits")) {
    printf("{\"bits\": %d}\n", (int)(sizeof(void*) * 8));
    rc = 0;
  } else
    fputs("usage: kvwatch wait|ready|regmsg|pump|bits ... (see watch.c)\n", stderr);
  fflush(stdout);
  return rc;
}
