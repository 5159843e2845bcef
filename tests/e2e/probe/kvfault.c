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
          "       drive <root>\n",
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
    else
        return usage();
    fflush(stdout);
    return rc;
}
