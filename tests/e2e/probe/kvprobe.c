/*
 * kvprobe: the end-to-end suite's hand inside Wine. "kvprobe serve" answers one command a line from
 * stdin with one JSON line, "kvprobe <command>" runs one (run() has them all). Built windowed as
 * kvrecorder.exe, it appends its command line to kvrecorder.exe.log beside it: a stand-in browser.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "tray_tips.h"

static void put_text(const wchar_t* w) {
  char utf8[4096];
  if (WideCharToMultiByte(CP_UTF8, 0, w, -1, utf8, sizeof utf8, NULL, NULL) <= 0) utf8[0] = 0;
  putchar('"');
  for (const unsigned char* p = (const unsigned char*)utf8; *p; ++p) {
    if (*p == '"' || *p == '\\')
      printf("\\%c", *p);
    else if (*p < 0x20)
      printf("\\u%04x", *p);
    else
      putchar(*p);
  }
  putchar('"');
}

static void put_rect(const char* key, RECT r) {
  printf(",\"%s\":[%ld,%ld,%ld,%ld]", key, r.left, r.top, r.right, r.bottom);
}

static HWND arg_hwnd(const char* s) {
  return (HWND)(ULONG_PTR)strtoull(s, NULL, 0); /* all 64 bits of a 64-bit build's handle */
}

/* A message number, or the number of a registered message given by name. */
static UINT arg_message(const char* s) {
  return (s[0] >= '0' && s[0] <= '9') ? strtoul(s, NULL, 0) : RegisterWindowMessageA(s);
}

/* Class, text (read with a bounded WM_GETTEXT, so that controls of other processes answer too) and place, as
 * they were at one moment: the window's thread answers for the text only when it comes to it, maybe after
 * laying the window out anew, so the place is read again after the text until the two readings agree (a line
 * widened for its new text was once reported at its old width with that text). */
static void put_common(HWND h) {
  wchar_t cls[256], text[1024];
  RECT r, before;
  GetClassNameW(h, cls, 256);
  GetWindowRect(h, &r);
  for (int tries = 0; tries < 50; ++tries) {
    before = r;
    text[0] = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, 1024, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, NULL))
      GetWindowTextW(h, text, 1024);
    GetWindowRect(h, &r);
    if (EqualRect(&before, &r)) break;
  }
  text[1023] = 0;
  printf("{\"hwnd\":%llu,\"id\":%d,\"visible\":%d,\"class\":", (unsigned long long)(ULONG_PTR)h, GetDlgCtrlID(h),
         IsWindowVisible(h) != 0);
  put_text(cls);
  printf(",\"text\":");
  put_text(text);
  put_rect("rect", r);
  printf(",\"unpainted\":%d", GetUpdateRect(h, NULL, FALSE) != 0); /* a part it has yet to paint */
}

static BOOL CALLBACK put_child(HWND h, LPARAM first) {
  printf(*(int*)first ? "" : ",");
  *(int*)first = 0;
  put_common(h);
  putchar('}');
  return TRUE;
}

struct listing {
  const char* prefix;
  int first;
};

static BOOL CALLBACK put_window(HWND h, LPARAM data) {
  struct listing* l = (struct listing*)data;
  char cls[256];
  DWORD pid = 0;
  RECT c;
  POINT origin = {0, 0};
  int first_child = 1;
  GetClassNameA(h, cls, 256);
  if (_strnicmp(cls, l->prefix, strlen(l->prefix))) return TRUE;
  if (!l->first) putchar(',');
  l->first = 0;
  GUITHREADINFO gui = {sizeof gui};
  GetGUIThreadInfo(GetWindowThreadProcessId(h, &pid), &gui);
  GetClientRect(h, &c);
  ClientToScreen(h, &origin);
  OffsetRect(&c, origin.x, origin.y);
  put_common(h);
  put_rect("client", c);
  printf(",\"pid\":%lu,\"topmost\":%d,\"owner\":%llu,\"captured\":%d,\"foreground\":%d,\"children\":[", pid,
         (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, (unsigned long long)(ULONG_PTR)GetWindow(h, GW_OWNER),
         gui.hwndCapture != NULL, GetForegroundWindow() == h);
  EnumChildWindows(h, put_child, (LPARAM)&first_child);
  printf("]}");
  return TRUE;
}

static void cmd_windows(const char* prefix) {
  struct listing l = {prefix, 1};
  putchar('[');
  EnumWindows(put_window, (LPARAM)&l);
  putchar(']');
}

static void put_tip(const wchar_t* tip, RECT place, void* first) {
  printf(*(int*)first ? "{\"text\":" : ",{\"text\":");
  *(int*)first = 0;
  put_text(tip);
  put_rect("rect", place);
  putchar('}');
}

static void cmd_tips(void) {
  int first = 1;
  putchar('[');
  each_tray_icon(put_tip, &first);
  putchar(']');
}

/* xdotool's keys never reach a popup menu under a bare Xvfb; the system's own input does. */
static int cmd_key(WORD vk) {
  INPUT in[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(2, in, sizeof(INPUT)) == 2;
}

/* WM_DPICHANGED as the system sends it to a window moved onto a monitor of another DPI (Wine, with one
 * DPI for all, never does), its suggested place (the window's own) put into the window's process. */
static int cmd_dpi(HWND window, WORD dpi) {
  DWORD pid = 0;
  RECT place;
  GetWindowRect(window, &place);
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  void* remote = VirtualAllocEx(process, NULL, sizeof place, MEM_COMMIT, PAGE_READWRITE);
  int ok =
      WriteProcessMemory(process, remote, &place, sizeof place, NULL) &&
      SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), (LPARAM)remote, SMTO_ABORTIFHUNG, 10000, NULL);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return ok;
}

static int run(int argc, char** argv) {
  const char* cmd = argc > 0 ? argv[0] : "";
  int ok = 1;
  if (!strcmp(cmd, "windows")) {
    cmd_windows(argc > 1 ? argv[1] : "");
  } else if (!strcmp(cmd, "tips")) {
    cmd_tips();
  } else if ((!strcmp(cmd, "send") || !strcmp(cmd, "post")) && argc > 4) {
    HWND h = arg_hwnd(argv[1]);
    UINT msg = arg_message(argv[2]);
    WPARAM wp = strtoull(argv[3], NULL, 0);
    LPARAM lp = strtoll(argv[4], NULL, 0);
    DWORD_PTR result = 0;
    long count = argc > 5 ? atol(argv[5]) : 1, done = 0;
    if (cmd[0] == 'p')
      done = PostMessageW(h, msg, wp, lp);
    else
      while (done < count && SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, 60000, &result)) ++done;
    printf("{\"ok\":%d,\"result\":%lld}", done == count, (long long)result);
  } else if (!strcmp(cmd, "bits")) { /* the harness's proof that Wine runs this build at all */
    printf("%d", (int)(sizeof(void*) * 8));
  } else if (!strcmp(cmd, "free") && argc > 1) { /* the system's own counters of a drive root */
    DWORD spc = 0, bps = 0, free = 0, total = 0;
    ok = GetDiskFreeSpaceA(argv[1], &spc, &bps, &free, &total);
    printf("{\"ok\":%d,\"clusters\":%lu,\"cluster_bytes\":%lu}", ok, free, spc * bps);
  } else if (!strcmp(cmd, "key") && argc > 1) {
    printf("{\"ok\":%d}", cmd_key((WORD)strtoul(argv[1], NULL, 0)));
  } else if (!strcmp(cmd, "dpi") && argc > 2) {
    printf("{\"ok\":%d}", cmd_dpi(arg_hwnd(argv[1]), (WORD)atoi(argv[2])));
  } else if (!strcmp(cmd, "load") && argc > 1) {
    ok = LoadLibraryA(argv[1]) != NULL;
    printf("{\"ok\":%d}", ok);
  } else {
    fprintf(stderr, "kvprobe: unknown command or missing arguments: %s\n", cmd);
    return 2;
  }
  putchar('\n');
  fflush(stdout);
  return ok ? 0 : 1;
}

static int record_command_line(void) {
  wchar_t path[MAX_PATH + 8];
  DWORD written = 0;
  char line[4096];
  GetModuleFileNameW(NULL, path, MAX_PATH);
  wcscat(path, L".log");
  HANDLE log = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, 0, NULL);
  int n = WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof line - 1, NULL, NULL);
  if (n > 0) line[n - 1] = '\n';
  WriteFile(log, line, n > 0 ? n : 0, &written, NULL);
  return !CloseHandle(log);
}

int main(int argc, char** argv) {
  char line[1024], *args[8];
  if (strstr(argv[0], "kvrecorder")) return record_command_line();
  if (argc < 2 || strcmp(argv[1], "serve")) return run(argc - 1, argv + 1);
  while (fgets(line, sizeof line, stdin)) {
    int n = 0;
    for (char* word = strtok(line, " \r\n"); word && n < 8; word = strtok(NULL, " \r\n")) args[n++] = word;
    if (run(n, args) == 2) printf("null\n"), fflush(stdout);
  }
  return 0;
}
