/*
 * kvfault: the fault tests' hand on the system around the program, for what
 * kvprobe does not do. Each command prints one JSON object on stdout and exits
 * 0 when it did what it was asked, 1 when the system refused, 2 on a usage error.
 *
 *   traydelete <hwnd> <uid>   deletes the tray icon (hwnd, uid) from the shell's
 *                             records, as a shell that restarts forgets its icons
 *   broadcast <name>          sends the registered message <name> to every
 *                             top-level window, as the shell does with
 *                             "TaskbarCreated" when it starts
 *   foreground <hwnd>         makes the window the foreground window
 *   drive <root>              the drive's type, volume information and free space
 *   savestorm <tray-hwnd> <first> <rounds> <log>
 *                             makes the program save its settings over and over:
 *                             round by round from number <first> on, it
 *                             moves the drive window to a new place, writes that
 *                             place to <log>, closes the window with a real left
 *                             click (which saves), and shows it again with the tray
 *                             icon's left-press callback (which reads the file back);
 *                             ends when the rounds are done or the program stops
 *                             answering (it is killed on purpose by the test)
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HWND parse_hwnd(const char *s)
{
    return (HWND)(ULONG_PTR)strtoull(s, NULL, 0);
}

static int usage(void)
{
    fputs("usage: kvfault traydelete <hwnd> <uid> | broadcast <name> | foreground <hwnd> |\n"
          "       drive <root> | savestorm <tray-hwnd> <first> <rounds> <log>\n",
          stderr);
    return 2;
}

static int cmd_traydelete(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    NOTIFYICONDATAA data;
    memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = parse_hwnd(argv[0]);
    data.uID = (UINT)strtoul(argv[1], NULL, 0);
    BOOL ok = Shell_NotifyIconA(NIM_DELETE, &data);
    printf("{\"action\":\"traydelete\",\"hwnd\":%lu,\"uid\":%u,\"ok\":%s}\n",
           (unsigned long)(ULONG_PTR)data.hWnd, data.uID, ok ? "true" : "false");
    return ok ? 0 : 1;
}

static int cmd_broadcast(int argc, char **argv)
{
    if (argc < 1)
        return usage();
    UINT msg = RegisterWindowMessageA(argv[0]);
    DWORD_PTR result = 0;
    LRESULT ok = msg ? SendMessageTimeoutA(HWND_BROADCAST, msg, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                           &result)
                     : 0;
    printf("{\"action\":\"broadcast\",\"msg\":%u,\"ok\":%s}\n", msg, ok ? "true" : "false");
    return ok ? 0 : 1;
}

static int cmd_foreground(int argc, char **argv)
{
    if (argc < 1)
        return usage();
    HWND h = parse_hwnd(argv[0]);
    BOOL ok = SetForegroundWindow(h);
    printf("{\"action\":\"foreground\",\"hwnd\":%lu,\"ok\":%s,\"foreground\":%lu}\n",
           (unsigned long)(ULONG_PTR)h, ok ? "true" : "false",
           (unsigned long)(ULONG_PTR)GetForegroundWindow());
    return ok ? 0 : 1;
}

static int cmd_drive(int argc, char **argv)
{
    if (argc < 1)
        return usage();
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    UINT type = GetDriveTypeA(argv[0]);
    char label[MAX_PATH + 1] = "";
    BOOL volume = GetVolumeInformationA(argv[0], label, sizeof label, NULL, NULL, NULL, NULL, 0);
    DWORD volume_error = volume ? 0 : GetLastError();
    DWORD spc = 0, bps = 0, free_clusters = 0, total = 0;
    BOOL space = GetDiskFreeSpaceA(argv[0], &spc, &bps, &free_clusters, &total);
    DWORD space_error = space ? 0 : GetLastError();
    DWORD drives = GetLogicalDrives();
    int letter = (argv[0][0] | 0x20) - 'a';
    printf("{\"root\":\"%c:\",\"type\":%u,\"listed\":%s,\"volume_ok\":%s,\"volume_error\":%lu,"
           "\"space_ok\":%s,\"space_error\":%lu,\"free_clusters\":%lu}\n",
           argv[0][0], type,
           letter >= 0 && letter < 26 && (drives >> letter) & 1 ? "true" : "false",
           volume ? "true" : "false", volume_error, space ? "true" : "false", space_error,
           free_clusters);
    return 0;
}

/* ------------------------------------------------------------- savestorm */

static const WCHAR drive_window_class[] = L"Kestrovan99_smallwindow";
enum { TRAY_CALLBACK = 0x200, STORM_WAIT_MS = 4000, STORM_RETRY_MS = 1000 };

/* The visible drive window, or NULL once the deadline has passed. */
static HWND wait_drive_window(int visible, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND h = FindWindowW(drive_window_class, NULL);
        int shown = h && IsWindowVisible(h);
        if (visible ? shown : !shown)
            return visible ? h : (HWND)1;
        if (GetTickCount() - start >= ms)
            return NULL;
        Sleep(5);
    }
}

static int at_place(HWND h, int x, int y)
{
    RECT r;
    return GetWindowRect(h, &r) && r.left == x && r.top == y;
}

/* A left click as a hand makes it: the pointer moves there first, then presses and lets go. */
static void left_click_at(int x, int y)
{
    INPUT in[3];
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    memset(in, 0, sizeof in);
    in[0].type = INPUT_MOUSE;
    in[0].mi.dx = (LONG)(((long long)x * 65535 + (w - 1) / 2) / (w > 1 ? w - 1 : 1));
    in[0].mi.dy = (LONG)(((long long)y * 65535 + (h - 1) / 2) / (h > 1 ? h - 1 : 1));
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SetCursorPos(x, y);
    SendInput(1, &in[0], sizeof(INPUT));
    Sleep(20);
    in[1].type = INPUT_MOUSE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &in[1], sizeof(INPUT));
    Sleep(20);
    in[2].type = INPUT_MOUSE;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in[2], sizeof(INPUT));
}

static int cmd_savestorm(int argc, char **argv)
{
    if (argc < 4)
        return usage();
    HWND tray = parse_hwnd(argv[0]);
    int first = atoi(argv[1]);
    int rounds = atoi(argv[2]);
    HANDLE log = CreateFileA(argv[3], FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, NULL);
    if (log == INVALID_HANDLE_VALUE)
        return 1;
    int done = 0, retries = 0;
    const char *stopped = "rounds done";
    for (int i = first; i < first + rounds; ++i) {
        HWND w = wait_drive_window(1, STORM_WAIT_MS);
        if (!w) {
            stopped = "the drive window did not show";
            break;
        }
        /* A new place each round, well inside the 1024 x 768 desktop. */
        int x = 40 + (i * 37) % 560, y = 30 + (i * 53) % 500;
        SetWindowPos(w, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        DWORD start = GetTickCount();
        while (!at_place(w, x, y) && GetTickCount() - start < STORM_WAIT_MS)
            Sleep(5);
        if (!at_place(w, x, y)) {
            stopped = "the drive window did not move";
            break;
        }
        /* The place is on record before the save that may write it begins. */
        char line[64];
        DWORD written = 0;
        int n = sprintf(line, "%d %d %d\n", i, x, y);
        WriteFile(log, line, (DWORD)n, &written, NULL);
        FlushFileBuffers(log);
        RECT c;
        POINT origin = {0, 0};
        GetClientRect(w, &c);
        ClientToScreen(w, &origin);
        left_click_at(origin.x + c.right / 2, origin.y + c.bottom - 4);
        if (!wait_drive_window(0, STORM_RETRY_MS)) {
            /* Once in a few hundred clicks Wine's input reaches the window late or not at
               all: click again, as a hand would, and count it. */
            ++retries;
            RECT now;
            GetWindowRect(w, &now);
            fprintf(stderr, "kvfault: round %d: the click at %ld,%ld did not close the window "
                    "at %ld,%ld; clicking again\n", i, origin.x + c.right / 2,
                    origin.y + c.bottom - 4, now.left, now.top);
            GetClientRect(w, &c);
            origin.x = origin.y = 0;
            ClientToScreen(w, &origin);
            left_click_at(origin.x + c.right / 2, origin.y + c.bottom - 4);
        }
        if (!wait_drive_window(0, STORM_WAIT_MS)) {
            RECT now;
            POINT cursor;
            GetWindowRect(w, &now);
            GetCursorPos(&cursor);
            fprintf(stderr, "kvfault: round %d: clicked at %ld,%ld; window at %ld,%ld-%ld,%ld\n", i,
                    origin.x + c.right / 2, origin.y + c.bottom - 4, now.left, now.top,
                    now.right, now.bottom);
            stopped = "the click did not close the drive window";
            break;
        }
        /* The shell's callback for a left press on the icon shows the window again. */
        if (!PostMessageW(tray, TRAY_CALLBACK, 1, WM_LBUTTONDOWN)) {
            stopped = "the tray window is gone";
            break;
        }
        done = i - first + 1;
    }
    CloseHandle(log);
    printf("{\"action\":\"savestorm\",\"rounds\":%d,\"done\":%d,\"retries\":%d,"
           "\"stopped\":\"%s\"}\n",
           rounds, done, retries, stopped);
    return done == rounds ? 0 : 1;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    const char *cmd = argv[1];
    int n = argc - 2;
    char **rest = argv + 2;
    int rc;
    if (!strcmp(cmd, "traydelete"))
        rc = cmd_traydelete(n, rest);
    else if (!strcmp(cmd, "broadcast"))
        rc = cmd_broadcast(n, rest);
    else if (!strcmp(cmd, "foreground"))
        rc = cmd_foreground(n, rest);
    else if (!strcmp(cmd, "drive"))
        rc = cmd_drive(n, rest);
    else if (!strcmp(cmd, "savestorm"))
        rc = cmd_savestorm(n, rest);
    else
        return usage();
    fflush(stdout);
    return rc;
}
