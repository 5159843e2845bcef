/*
 * kvprobe: looks at Kestrovan '99 from outside and acts on it like a user.
 *
 * A console program for the end-to-end suite. Every command prints one JSON
 * value on stdout (helpstub appends JSON lines to a log instead) and exits 0
 * on success, 1 when the command ran but found nothing or timed out, and 2 on
 * a usage error. Window handles are printed and taken as decimal integers
 * (hex with 0x is accepted too).
 */
#define WIN32_LEAN_AND_MEAN
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef _WIN32_IE
#define _WIN32_IE 0x0600
#endif
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "kvhook.h"

/* ------------------------------------------------------------------ JSON */

enum { MAX_DEPTH = 32 };
static int json_first[MAX_DEPTH];
static int json_depth;
static FILE *json_out;

static void json_raw_utf8(const char *s);

static void json_sep(const char *key)
{
    if (json_depth > 0) {
        if (!json_first[json_depth - 1])
            fputc(',', json_out);
        json_first[json_depth - 1] = 0;
    }
    if (key) {
        json_raw_utf8(key);
        fputc(':', json_out);
    }
}

static void json_raw_utf8(const char *s)
{
    fputc('"', json_out);
    for (const unsigned char *p = (const unsigned char *)s; *p; ++p) {
        switch (*p) {
        case '"': fputs("\\\"", json_out); break;
        case '\\': fputs("\\\\", json_out); break;
        case '\n': fputs("\\n", json_out); break;
        case '\r': fputs("\\r", json_out); break;
        case '\t': fputs("\\t", json_out); break;
        default:
            if (*p < 0x20)
                fprintf(json_out, "\\u%04x", *p);
            else
                fputc(*p, json_out);
        }
    }
    fputc('"', json_out);
}

static void json_open(const char *key, char bracket)
{
    json_sep(key);
    fputc(bracket, json_out);
    json_first[json_depth++] = 1;
}

static void json_close(char bracket)
{
    --json_depth;
    fputc(bracket, json_out);
}

static void obj_begin(const char *key) { json_open(key, '{'); }
static void obj_end(void) { json_close('}'); }
static void arr_begin(const char *key) { json_open(key, '['); }
static void arr_end(void) { json_close(']'); }

static void put_int(const char *key, long long v)
{
    json_sep(key);
    fprintf(json_out, "%lld", v);
}

static void put_uint(const char *key, unsigned long long v)
{
    json_sep(key);
    fprintf(json_out, "%llu", v);
}

static void put_bool(const char *key, int v)
{
    json_sep(key);
    fputs(v ? "true" : "false", json_out);
}

static void put_null(const char *key)
{
    json_sep(key);
    fputs("null", json_out);
}

static void put_str(const char *key, const char *s)
{
    json_sep(key);
    json_raw_utf8(s ? s : "");
}

static void put_wstr(const char *key, const wchar_t *w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, NULL, 0, NULL, NULL);
    char *buf = (char *)malloc(n > 0 ? (size_t)n : 1);
    if (!buf) {
        put_str(key, "");
        return;
    }
    buf[0] = 0;
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, w, -1, buf, n, NULL, NULL);
    put_str(key, buf);
    free(buf);
}

static void put_rect(const char *key, const RECT *r)
{
    arr_begin(key);
    put_int(NULL, r->left);
    put_int(NULL, r->top);
    put_int(NULL, r->right);
    put_int(NULL, r->bottom);
    arr_end();
}

static void put_hwnd(const char *key, HWND h)
{
    put_uint(key, (unsigned long long)(ULONG_PTR)h);
}

static void json_done(void)
{
    fputc('\n', json_out);
    fflush(json_out);
}

/* --------------------------------------------------------------- helpers */

static unsigned long long parse_u(const char *s)
{
    return strtoull(s, NULL, 0);
}

static HWND parse_hwnd(const char *s)
{
    return (HWND)(ULONG_PTR)parse_u(s);
}

/* Milliseconds since 1970, so the harness can order events against its own clock. */
static unsigned long long unix_ms(void)
{
    FILETIME ft;
    ULARGE_INTEGER u;
    GetSystemTimeAsFileTime(&ft);
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    return (u.QuadPart - 116444736000000000ULL) / 10000ULL;
}

static int usage(void)
{
    fputs("usage: kvprobe windows [class-prefix] | freespace <root> | tooltips | menu |\n"
          "       click <x> <y> [left|right|middle] | press|release <x> <y> [button] |\n"
          "       move <x> <y> | key <vk> [ctrl] [shift] [alt] | command <hwnd> <id> |\n"
          "       send <hwnd> <msg> <wparam> <lparam> | regmsg <name> <hwnd> |\n"
          "       pump <hwnd> <msg> <wparam> <lparam> <count> <interval-ms> |\n"
          "       helpstub <logfile> [watched-file...] | idle <pid> <timeout-ms> |\n"
          "       waitwindow <class> <timeout-ms> [visible] |\n"
          "       waitready <class> <timeout-ms> [tray] | procmem <pid> |\n"
          "       commit <pid> <bytes> | now\n",
          stderr);
    return 2;
}

/* Text of any window, also one of another process; WM_GETTEXT is marshalled
   across processes, with a bound so a busy target does not stall us. */
static void window_text(HWND h, wchar_t *buf, int cap)
{
    DWORD_PTR len = 0;
    buf[0] = 0;
    if (SendMessageTimeoutW(h, WM_GETTEXT, (WPARAM)cap, (LPARAM)buf, SMTO_ABORTIFHUNG, 1000,
                            &len)) {
        buf[cap - 1] = 0;
        if (len < (DWORD_PTR)cap)
            buf[len] = 0;
        return;
    }
    GetWindowTextW(h, buf, cap);
}

static int class_is(const wchar_t *cls, const wchar_t *name)
{
    return _wcsicmp(cls, name) == 0;
}

/* Items of a combo box or list box child, read with marshalled messages. */
static void put_list_items(HWND h, int combo)
{
    UINT msg_count = combo ? CB_GETCOUNT : LB_GETCOUNT;
    UINT msg_len = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    UINT msg_text = combo ? CB_GETLBTEXT : LB_GETTEXT;
    UINT msg_sel = combo ? CB_GETCURSEL : LB_GETCURSEL;
    DWORD_PTR count = 0, sel = 0;
    if (!SendMessageTimeoutW(h, msg_count, 0, 0, SMTO_ABORTIFHUNG, 1000, &count))
        count = 0;
    if (!SendMessageTimeoutW(h, msg_sel, 0, 0, SMTO_ABORTIFHUNG, 1000, &sel))
        sel = (DWORD_PTR)-1;
    put_int("selected", (long long)(LONG)(LONG_PTR)sel);
    arr_begin("items");
    for (int i = 0; i < (int)(LONG)count && i < 256; ++i) {
        DWORD_PTR len = 0;
        wchar_t buf[512];
        buf[0] = 0;
        if (SendMessageTimeoutW(h, msg_len, (WPARAM)i, 0, SMTO_ABORTIFHUNG, 1000, &len) &&
            (LONG)len >= 0 && len < 511) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(h, msg_text, (WPARAM)i, (LPARAM)buf, SMTO_ABORTIFHUNG, 1000,
                                &ignored);
            buf[len] = 0;
        }
        put_wstr(NULL, buf);
    }
    arr_end();
}

static void put_child(HWND child)
{
    wchar_t cls[256], text[1024];
    RECT r;
    LONG style = GetWindowLongW(child, GWL_STYLE);
    GetClassNameW(child, cls, 256);
    window_text(child, text, 1024);
    GetWindowRect(child, &r);
    obj_begin(NULL);
    put_hwnd("hwnd", child);
    put_int("id", GetDlgCtrlID(child));
    put_wstr("class", cls);
    put_wstr("text", text);
    put_rect("rect", &r);
    put_bool("visible", IsWindowVisible(child));
    put_bool("enabled", IsWindowEnabled(child));
    put_uint("style", (unsigned long)style);
    put_uint("exstyle", (unsigned long)GetWindowLongW(child, GWL_EXSTYLE));
    put_hwnd("parent", GetParent(child));
    if (class_is(cls, L"Button")) {
        LONG kind = style & BS_TYPEMASK;
        if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE ||
            kind == BS_AUTO3STATE || kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON) {
            DWORD_PTR state = 0;
            SendMessageTimeoutW(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 1000, &state);
            put_int("checked", (long long)state);
        } else {
            put_null("checked");
        }
    } else if (class_is(cls, L"ComboBox")) {
        put_list_items(child, 1);
    } else if (class_is(cls, L"ListBox")) {
        put_list_items(child, 0);
    }
    obj_end();
}

static BOOL CALLBACK child_cb(HWND child, LPARAM lp)
{
    (void)lp;
    put_child(child);
    return TRUE;
}

static void put_window(HWND h)
{
    wchar_t cls[256], text[1024];
    RECT r, c;
    POINT origin = {0, 0};
    DWORD pid = 0;
    DWORD tid = GetWindowThreadProcessId(h, &pid);
    LONG exstyle = GetWindowLongW(h, GWL_EXSTYLE);
    GetClassNameW(h, cls, 256);
    window_text(h, text, 1024);
    GetWindowRect(h, &r);
    GetClientRect(h, &c);
    ClientToScreen(h, &origin);
    OffsetRect(&c, origin.x, origin.y);
    obj_begin(NULL);
    put_hwnd("hwnd", h);
    put_uint("pid", pid);
    put_uint("tid", tid);
    put_wstr("class", cls);
    put_wstr("text", text);
    put_rect("rect", &r);
    put_rect("client", &c);
    put_bool("visible", IsWindowVisible(h));
    put_bool("enabled", IsWindowEnabled(h));
    put_bool("topmost", (exstyle & WS_EX_TOPMOST) != 0);
    put_bool("iconic", IsIconic(h));
    put_uint("style", (unsigned long)GetWindowLongW(h, GWL_STYLE));
    put_uint("exstyle", (unsigned long)exstyle);
    put_hwnd("owner", GetWindow(h, GW_OWNER));
    put_bool("foreground", GetForegroundWindow() == h);
    arr_begin("children");
    EnumChildWindows(h, child_cb, 0);
    arr_end();
    obj_end();
}

struct window_filter {
    const wchar_t *prefix;
    size_t prefix_len;
};

static BOOL CALLBACK top_cb(HWND h, LPARAM lp)
{
    const struct window_filter *f = (const struct window_filter *)lp;
    wchar_t cls[256];
    GetClassNameW(h, cls, 256);
    if (f->prefix_len == 0 || _wcsnicmp(cls, f->prefix, f->prefix_len) == 0)
        put_window(h);
    return TRUE;
}

static wchar_t *widen(const char *s)
{
    int n = MultiByteToWideChar(CP_ACP, 0, s, -1, NULL, 0);
    wchar_t *w = (wchar_t *)calloc((size_t)(n > 0 ? n : 1), sizeof(wchar_t));
    if (w && n > 0)
        MultiByteToWideChar(CP_ACP, 0, s, -1, w, n);
    return w;
}

static int cmd_windows(int argc, char **argv)
{
    struct window_filter f;
    wchar_t *prefix = widen(argc > 0 ? argv[0] : "");
    f.prefix = prefix;
    f.prefix_len = prefix ? wcslen(prefix) : 0;
    arr_begin(NULL);
    EnumWindows(top_cb, (LPARAM)&f);
    arr_end();
    json_done();
    free(prefix);
    return 0;
}

/* ------------------------------------------------------------- freespace */

static int cmd_freespace(int argc, char **argv)
{
    DWORD spc = 0, bps = 0, freec = 0, total = 0;
    BOOL ok;
    if (argc < 1)
        return usage();
    SetErrorMode(SEM_FAILCRITICALERRORS);
    ok = GetDiskFreeSpaceA(argv[0], &spc, &bps, &freec, &total);
    obj_begin(NULL);
    put_str("root", argv[0]);
    put_bool("ok", ok);
    put_uint("error", ok ? 0 : GetLastError());
    put_uint("sectors_per_cluster", spc);
    put_uint("bytes_per_sector", bps);
    put_uint("free_clusters", freec);
    put_uint("total_clusters", total);
    put_uint("free_bytes", (unsigned long long)spc * bps * freec);
    obj_end();
    json_done();
    return ok ? 0 : 1;
}

/* -------------------------------------------------------------- tooltips */

/*
 * The shell keeps one tooltip control per notification icon; the control
 * belongs to the shell's process and its tool is the icon's own little window.
 * Tooltip messages carry pointers that are not marshalled, so the request
 * record and the text buffer live in the shell's address space.
 */
struct remote_tool {
    UINT cbSize;
    UINT uFlags;
    DWORD hwnd;
    DWORD uId;
    RECT rect;
    DWORD hinst;
    DWORD lpszText;
    DWORD lParam;
    DWORD lpReserved;
};

enum { TIP_CHARS = 1100, REMOTE_SIZE = 4096, MAX_TIPS = 64 };

struct tip_entry {
    HWND tooltip;
    UINT flags;
    HWND tool_hwnd;
    DWORD tool_id;
    RECT rect;
    wchar_t text[TIP_CHARS];
};

struct tip_scan {
    DWORD shell_pid;
    HANDLE process;
    BYTE *remote;
    int count;
    struct tip_entry entries[MAX_TIPS];
};

static void read_tool(HWND tip, struct tip_scan *s, int index)
{
    struct remote_tool tool;
    struct tip_entry *e;
    SIZE_T got = 0;
    DWORD_PTR res = 0;
    wchar_t zero = 0;
    BYTE *remote_tool_addr = s->remote;
    BYTE *remote_text = s->remote + 256;

    if (s->count >= MAX_TIPS)
        return;
    memset(&tool, 0, sizeof tool);
    tool.cbSize = sizeof tool;
    tool.lpszText = (DWORD)(ULONG_PTR)remote_text;
    WriteProcessMemory(s->process, remote_tool_addr, &tool, sizeof tool, &got);
    WriteProcessMemory(s->process, remote_text, &zero, sizeof zero, &got);
    if (!SendMessageTimeoutW(tip, TTM_ENUMTOOLSW, (WPARAM)index, (LPARAM)remote_tool_addr,
                             SMTO_ABORTIFHUNG, 2000, &res) || !res)
        return;
    ReadProcessMemory(s->process, remote_tool_addr, &tool, sizeof tool, &got);

    /* Ask for the text by the tool's identity, into a buffer of known size. */
    tool.cbSize = sizeof tool;
    tool.lpszText = (DWORD)(ULONG_PTR)remote_text;
    WriteProcessMemory(s->process, remote_tool_addr, &tool, sizeof tool, &got);
    WriteProcessMemory(s->process, remote_text, &zero, sizeof zero, &got);
    SendMessageTimeoutW(tip, TTM_GETTEXTW, (WPARAM)(TIP_CHARS - 1), (LPARAM)remote_tool_addr,
                        SMTO_ABORTIFHUNG, 2000, &res);

    e = &s->entries[s->count++];
    memset(e, 0, sizeof *e);
    e->tooltip = tip;
    e->flags = tool.uFlags;
    e->tool_hwnd = (HWND)(ULONG_PTR)tool.hwnd;
    e->tool_id = tool.uId;
    e->rect = tool.rect;
    ReadProcessMemory(s->process, remote_text, e->text, sizeof(wchar_t) * (TIP_CHARS - 1), &got);
    e->text[TIP_CHARS - 1] = 0;
}

static BOOL CALLBACK tip_cb(HWND h, LPARAM lp)
{
    struct tip_scan *s = (struct tip_scan *)lp;
    wchar_t cls[64];
    DWORD pid = 0;
    DWORD_PTR n = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != s->shell_pid)
        return TRUE;
    GetClassNameW(h, cls, 64);
    if (!class_is(cls, TOOLTIPS_CLASSW))
        return TRUE;
    if (GetWindowLongW(h, GWL_STYLE) & TTS_BALLOON)
        return TRUE; /* a balloon notification, not an icon's tip */
    if (!SendMessageTimeoutW(h, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &n))
        return TRUE;
    for (int i = 0; i < (int)n && i < MAX_TIPS; ++i)
        read_tool(h, s, i);
    return TRUE;
}

static int is_64bit_process(HANDLE process)
{
    BOOL self_wow = FALSE, target_wow = FALSE;
    SYSTEM_INFO si;
    GetNativeSystemInfo(&si);
    if (si.wProcessorArchitecture != PROCESSOR_ARCHITECTURE_AMD64 &&
        si.wProcessorArchitecture != PROCESSOR_ARCHITECTURE_ARM64)
        return 0;
    IsWow64Process(GetCurrentProcess(), &self_wow);
    IsWow64Process(process, &target_wow);
    return !target_wow;
}

/* Fills s with every icon tip of the shell; returns NULL or a reason it could not. */
static const char *scan_tips(struct tip_scan *s, HWND *tray_out)
{
    const char *error = NULL;
    HWND tray = FindWindowW(L"Shell_TrayWnd", NULL);
    memset(s, 0, sizeof *s);
    if (tray_out)
        *tray_out = tray;
    if (!tray)
        return "no Shell_TrayWnd";
    GetWindowThreadProcessId(tray, &s->shell_pid);
    s->process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                 PROCESS_QUERY_INFORMATION,
                             FALSE, s->shell_pid);
    if (!s->process)
        return "cannot open the shell's process";
    if (is_64bit_process(s->process)) {
        error = "the shell is a 64-bit process; use a 32-bit prefix";
    } else {
        s->remote = (BYTE *)VirtualAllocEx(s->process, NULL, REMOTE_SIZE,
                                           MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!s->remote)
            error = "VirtualAllocEx failed";
        else {
            EnumWindows(tip_cb, (LPARAM)s);
            VirtualFreeEx(s->process, s->remote, 0, MEM_RELEASE);
            s->remote = NULL;
        }
    }
    CloseHandle(s->process);
    s->process = NULL;
    return error;
}

static struct tip_scan tips;

static int cmd_tooltips(void)
{
    HWND tray = NULL;
    const char *error = scan_tips(&tips, &tray);
    obj_begin(NULL);
    put_hwnd("shell_traywnd", tray);
    put_uint("shell_pid", tips.shell_pid);
    if (error)
        put_str("error", error);
    else
        put_null("error");
    arr_begin("tools");
    for (int i = 0; i < tips.count; ++i) {
        const struct tip_entry *e = &tips.entries[i];
        HWND icon = e->tool_hwnd;
        wchar_t cls[256] = L"";
        RECT r = {0, 0, 0, 0};
        int alive = IsWindow(icon);
        if (alive) {
            GetClassNameW(icon, cls, 256);
            GetWindowRect(icon, &r);
        }
        obj_begin(NULL);
        put_hwnd("tooltip", e->tooltip);
        put_hwnd("owner", GetWindow(e->tooltip, GW_OWNER));
        put_uint("flags", e->flags);
        put_hwnd("tool_hwnd", icon);
        put_uint("tool_id", e->tool_id);
        put_wstr("text", e->text);
        put_wstr("tool_class", cls);
        put_rect("tool_rect", &r);
        /* The tool's own rectangle: where the icon is, in the tool window's client area. */
        put_rect("rect", &e->rect);
        /* The shell leaves the tip of a deleted or hidden icon behind with an empty rectangle. */
        put_bool("displayed", !IsRectEmpty(&e->rect));
        {
            RECT sr = e->rect;
            if (alive)
                MapWindowPoints(icon, NULL, (POINT *)&sr, 2);
            put_rect("screen_rect", &sr);
        }
        put_bool("tool_visible", alive && IsWindowVisible(icon));
        put_hwnd("tool_parent", alive ? GetParent(icon) : NULL);
        obj_end();
    }
    arr_end();
    obj_end();
    json_done();
    return error ? 1 : 0;
}

/* ------------------------------------------------------------------ menu */

/* Runs fn(arg) on a new thread in process p and returns its exit code, or -1. */
static LONG run_remote(HANDLE p, LPTHREAD_START_ROUTINE fn, LPVOID arg)
{
    DWORD code = (DWORD)-1;
    HANDLE t = CreateRemoteThread(p, NULL, 0, fn, arg, 0, NULL);
    if (!t)
        return -1;
    if (WaitForSingleObject(t, 5000) != WAIT_OBJECT_0 || !GetExitCodeThread(t, &code))
        code = (DWORD)-1;
    CloseHandle(t);
    return (LONG)code;
}

/*
 * Reads a menu of another process through kvhook.dll (beside this exe).
 * Returns NULL on success or the reason it failed.
 */
static const char *read_remote_menu(DWORD pid, DWORD hmenu, struct kvhook_menu_request *out)
{
    wchar_t path[MAX_PATH];
    DWORD len = GetModuleFileNameW(NULL, path, MAX_PATH);
    wchar_t *slash = wcsrchr(path, L'\\');
    if (!len || !slash || (size_t)(slash - path) + 12 >= MAX_PATH)
        return "cannot build the hook's path";
    wcscpy(slash + 1, L"kvhook.dll");

    HMODULE local = LoadLibraryW(path);
    if (!local)
        return "kvhook.dll not found beside kvprobe.exe";
    FARPROC local_fn = GetProcAddress(local, "kvhook_menu");
    if (!local_fn)
        return "kvhook_menu not exported";
    ULONG_PTR offset = (ULONG_PTR)local_fn - (ULONG_PTR)local;

    HANDLE p = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                               PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                           FALSE, pid);
    if (!p)
        return "cannot open the menu's process";
    const char *error = NULL;
    SIZE_T block = sizeof(struct kvhook_menu_request) + sizeof path;
    BYTE *remote = (BYTE *)VirtualAllocEx(p, NULL, block, MEM_COMMIT | MEM_RESERVE,
                                          PAGE_READWRITE);
    if (!remote) {
        CloseHandle(p);
        return "VirtualAllocEx failed";
    }
    BYTE *remote_path = remote + sizeof(struct kvhook_menu_request);
    SIZE_T got = 0;
    WriteProcessMemory(p, remote_path, path, sizeof path, &got);
    /* kernel32 sits at the same address in every process of the prefix. */
    LPTHREAD_START_ROUTINE load = (LPTHREAD_START_ROUTINE)(void *)GetProcAddress(
        GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW");
    LPTHREAD_START_ROUTINE unload = (LPTHREAD_START_ROUTINE)(void *)GetProcAddress(
        GetModuleHandleW(L"kernel32.dll"), "FreeLibrary");
    LONG base = run_remote(p, load, remote_path);
    if (base == 0 || base == -1) {
        error = "the menu's process could not load kvhook.dll";
    } else {
        memset(out, 0, sizeof *out);
        out->hmenu = hmenu;
        out->count = -1;
        WriteProcessMemory(p, remote, out, sizeof *out, &got);
        LPTHREAD_START_ROUTINE fn =
            (LPTHREAD_START_ROUTINE)(void *)((ULONG_PTR)(DWORD)base + offset);
        if (run_remote(p, fn, remote) == -1)
            error = "the hook did not finish";
        ReadProcessMemory(p, remote, out, sizeof *out, &got);
        run_remote(p, unload, (LPVOID)(ULONG_PTR)(DWORD)base);
    }
    VirtualFreeEx(p, remote, 0, MEM_RELEASE);
    CloseHandle(p);
    return error;
}

static struct kvhook_menu_request menu_req;

static BOOL CALLBACK menu_cb(HWND h, LPARAM lp)
{
    wchar_t cls[64];
    int *count = (int *)lp;
    DWORD pid = 0;
    GetClassNameW(h, cls, 64);
    if (wcscmp(cls, L"#32768") != 0 || !IsWindowVisible(h))
        return TRUE;
    GetWindowThreadProcessId(h, &pid);
    DWORD_PTR hmenu = 0;
    SendMessageTimeoutW(h, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 1000, &hmenu);
    RECT r;
    GetWindowRect(h, &r);
    obj_begin(NULL);
    put_hwnd("hwnd", h);
    put_uint("pid", pid);
    put_rect("rect", &r);
    put_uint("hmenu", hmenu);
    const char *error = hmenu ? read_remote_menu(pid, (DWORD)hmenu, &menu_req) : "no menu handle";
    if (error)
        put_str("error", error);
    else
        put_null("error");
    int n = error ? -1 : menu_req.count;
    put_int("count", n);
    arr_begin("items");
    for (int i = 0; i < n && i < KVHOOK_MAX_ITEMS; ++i) {
        const struct kvhook_menu_item *it = &menu_req.items[i];
        RECT ir = {it->left, it->top, it->right, it->bottom};
        obj_begin(NULL);
        put_bool("ok", (int)it->ok);
        put_uint("id", it->id);
        put_wstr("text", it->text);
        put_bool("separator", (it->type & MFT_SEPARATOR) != 0);
        put_bool("checked", (it->state & MFS_CHECKED) != 0);
        put_bool("grayed", (it->state & MFS_GRAYED) != 0);
        put_bool("default", (it->state & MFS_DEFAULT) != 0);
        put_bool("hilite", (it->state & MFS_HILITE) != 0);
        put_bool("submenu", it->submenu != 0);
        put_uint("type", it->type);
        put_uint("state", it->state);
        put_rect("rect", &ir);
        obj_end();
    }
    arr_end();
    obj_end();
    (*count)++;
    return TRUE;
}

static int cmd_menu(void)
{
    int count = 0;
    arr_begin(NULL);
    EnumWindows(menu_cb, (LPARAM)&count);
    arr_end();
    json_done();
    return count ? 0 : 1;
}

/* ----------------------------------------------------------------- input */

static DWORD button_flag(const char *name, int down)
{
    if (!name || !strcmp(name, "left"))
        return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    if (!strcmp(name, "right"))
        return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    if (!strcmp(name, "middle"))
        return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    return 0;
}

/* One pointer event at a screen position: move there, then the button flag. */
static UINT mouse_at(int x, int y, DWORD flags)
{
    INPUT in[2];
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    memset(in, 0, sizeof in);
    in[0].type = INPUT_MOUSE;
    in[0].mi.dx = (LONG)(((long long)x * 65535 + (w - 1) / 2) / (w > 1 ? w - 1 : 1));
    in[0].mi.dy = (LONG)(((long long)y * 65535 + (h - 1) / 2) / (h > 1 ? h - 1 : 1));
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SetCursorPos(x, y);
    if (!flags)
        return SendInput(1, in, sizeof(INPUT));
    in[1].type = INPUT_MOUSE;
    in[1].mi.dwFlags = flags;
    return SendInput(2, in, sizeof(INPUT));
}

static int print_input_result(const char *what, int x, int y, UINT sent)
{
    POINT p;
    GetCursorPos(&p);
    obj_begin(NULL);
    put_str("action", what);
    put_int("x", x);
    put_int("y", y);
    put_uint("sent", sent);
    put_int("cursor_x", p.x);
    put_int("cursor_y", p.y);
    obj_end();
    json_done();
    return sent ? 0 : 1;
}

static int cmd_pointer(const char *what, int argc, char **argv)
{
    if (argc < 2)
        return usage();
    int x = atoi(argv[0]), y = atoi(argv[1]);
    const char *button = argc > 2 ? argv[2] : "left";
    UINT sent = 0;
    if (!strcmp(what, "move")) {
        sent = mouse_at(x, y, 0);
    } else if (!strcmp(what, "press")) {
        if (!button_flag(button, 1))
            return usage();
        sent = mouse_at(x, y, button_flag(button, 1));
    } else if (!strcmp(what, "release")) {
        if (!button_flag(button, 0))
            return usage();
        sent = mouse_at(x, y, button_flag(button, 0));
    } else { /* click */
        if (!button_flag(button, 1))
            return usage();
        sent = mouse_at(x, y, button_flag(button, 1));
        Sleep(30); /* a human click has a short press; the target sees down and up apart */
        sent += mouse_at(x, y, button_flag(button, 0));
    }
    return print_input_result(what, x, y, sent);
}

static int cmd_key(int argc, char **argv)
{
    INPUT in[8];
    WORD mods[3];
    int nmods = 0, n = 0;
    if (argc < 1)
        return usage();
    WORD vk = (WORD)parse_u(argv[0]);
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "ctrl"))
            mods[nmods++] = VK_CONTROL;
        else if (!strcmp(argv[i], "shift"))
            mods[nmods++] = VK_SHIFT;
        else if (!strcmp(argv[i], "alt"))
            mods[nmods++] = VK_MENU;
        else
            return usage();
        if (nmods == 3)
            break;
    }
    memset(in, 0, sizeof in);
    for (int i = 0; i < nmods; ++i) {
        in[n].type = INPUT_KEYBOARD;
        in[n].ki.wVk = mods[i];
        n++;
    }
    in[n].type = INPUT_KEYBOARD;
    in[n].ki.wVk = vk;
    n++;
    in[n].type = INPUT_KEYBOARD;
    in[n].ki.wVk = vk;
    in[n].ki.dwFlags = KEYEVENTF_KEYUP;
    n++;
    for (int i = nmods - 1; i >= 0; --i) {
        in[n].type = INPUT_KEYBOARD;
        in[n].ki.wVk = mods[i];
        in[n].ki.dwFlags = KEYEVENTF_KEYUP;
        n++;
    }
    UINT sent = SendInput((UINT)n, in, sizeof(INPUT));
    obj_begin(NULL);
    put_str("action", "key");
    put_uint("vk", vk);
    put_uint("sent", sent);
    put_hwnd("foreground", GetForegroundWindow());
    obj_end();
    json_done();
    return sent == (UINT)n ? 0 : 1;
}

/* --------------------------------------------------------------- messages */

static int cmd_command(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    HWND h = parse_hwnd(argv[0]);
    int id = (int)parse_u(argv[1]);
    HWND child = GetDlgItem(h, id);
    /* Posted, not sent: the handler may run a modal loop for as long as it likes. */
    BOOL ok = PostMessageW(h, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)child);
    obj_begin(NULL);
    put_hwnd("hwnd", h);
    put_int("id", id);
    put_hwnd("control", child);
    put_bool("posted", ok);
    obj_end();
    json_done();
    return ok ? 0 : 1;
}

static int cmd_send(int argc, char **argv)
{
    if (argc < 4)
        return usage();
    HWND h = parse_hwnd(argv[0]);
    UINT msg = (UINT)parse_u(argv[1]);
    WPARAM wp = (WPARAM)parse_u(argv[2]);
    LPARAM lp = (LPARAM)(LONG_PTR)strtoll(argv[3], NULL, 0);
    DWORD_PTR res = 0;
    LRESULT ok = SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &res);
    obj_begin(NULL);
    put_hwnd("hwnd", h);
    put_uint("msg", msg);
    put_bool("ok", ok != 0);
    put_int("result", (long long)(LONG_PTR)res);
    obj_end();
    json_done();
    return ok ? 0 : 1;
}

/* pump <hwnd> <msg> <wparam> <lparam> <count> <interval-ms>: the same message sent again and
   again from one process, for soak runs and many refreshes without a probe start each time. */
static int cmd_pump(int argc, char **argv)
{
    if (argc < 6)
        return usage();
    HWND h = parse_hwnd(argv[0]);
    UINT msg = (UINT)parse_u(argv[1]);
    WPARAM wp = (WPARAM)parse_u(argv[2]);
    LPARAM lp = (LPARAM)(LONG_PTR)strtoll(argv[3], NULL, 0);
    unsigned long count = (unsigned long)parse_u(argv[4]);
    DWORD interval = (DWORD)parse_u(argv[5]);
    unsigned long sent = 0;
    for (; sent < count; ++sent) {
        DWORD_PTR res = 0;
        if (!SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &res))
            break;
        if (interval)
            Sleep(interval);
    }
    obj_begin(NULL);
    put_hwnd("hwnd", h);
    put_uint("msg", msg);
    put_uint("sent", sent);
    obj_end();
    json_done();
    return sent == count ? 0 : 1;
}

static int cmd_regmsg(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    UINT msg = RegisterWindowMessageA(argv[0]);
    HWND h = parse_hwnd(argv[1]);
    DWORD_PTR res = 0;
    LRESULT ok = msg ? SendMessageTimeoutW(h, msg, 0, 0, SMTO_ABORTIFHUNG, 5000, &res) : 0;
    obj_begin(NULL);
    put_str("name", argv[0]);
    put_hwnd("hwnd", h);
    put_uint("msg", msg);
    put_bool("ok", ok != 0);
    put_int("result", (long long)(LONG_PTR)res);
    obj_end();
    json_done();
    return ok ? 0 : 1;
}

/* -------------------------------------------------------------- helpstub */

/* The record that the system's WinHelpA hands to the help viewer in WM_COPYDATA. */
#pragma pack(push, 1)
struct help_request {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD file_offset;
    WORD data_offset;
};
#pragma pack(pop)

static FILE *help_log;
static char **help_watch;
static int help_watch_count;

struct sender_scan {
    DWORD pid;
};

static BOOL CALLBACK sender_window_cb(HWND h, LPARAM lp)
{
    const struct sender_scan *s = (const struct sender_scan *)lp;
    DWORD pid = 0;
    wchar_t cls[256], text[256];
    GetWindowThreadProcessId(h, &pid);
    if (pid != s->pid)
        return TRUE;
    GetClassNameW(h, cls, 256);
    /* The sender is blocked in SendMessage and does not answer WM_GETTEXT now. */
    GetWindowTextW(h, text, 256);
    obj_begin(NULL);
    put_hwnd("hwnd", h);
    put_wstr("class", cls);
    put_wstr("text", text);
    put_bool("visible", IsWindowVisible(h));
    put_bool("enabled", IsWindowEnabled(h));
    obj_end();
    return TRUE;
}

static void log_help_request(HWND from, const COPYDATASTRUCT *cds)
{
    const BYTE *base = (const BYTE *)cds->lpData;
    DWORD size = cds->cbData;
    struct help_request req;
    memset(&req, 0, sizeof req);
    if (base && size >= sizeof req)
        memcpy(&req, base, sizeof req);

    FILE *saved = json_out;
    json_out = help_log;
    obj_begin(NULL);
    put_uint("time_ms", unix_ms());
    put_hwnd("from", from);
    DWORD pid = 0;
    if (from)
        GetWindowThreadProcessId(from, &pid);
    put_uint("from_pid", pid);
    put_uint("magic", (unsigned long)cds->dwData);
    put_uint("bytes", size);
    put_uint("size", req.size);
    put_uint("command", req.command);
    put_int("data", req.data);
    if (req.file_offset && req.file_offset < size) {
        size_t maxlen = size - req.file_offset;
        size_t len = strnlen((const char *)base + req.file_offset, maxlen);
        char *file = (char *)calloc(len + 1, 1);
        if (file) {
            memcpy(file, base + req.file_offset, len);
            /* The name is in the system's 8-bit code page; store it as UTF-8. */
            wchar_t *w = widen(file);
            if (w)
                put_wstr("file", w);
            else
                put_str("file", file);
            free(w);
            free(file);
        }
    } else {
        put_null("file");
    }
    if (req.data_offset && req.data_offset < size) {
        char hex[2 * 512 + 1];
        size_t n = size - req.data_offset;
        if (n > 512)
            n = 512;
        for (size_t i = 0; i < n; ++i)
            sprintf(hex + 2 * i, "%02x", base[req.data_offset + i]);
        hex[2 * n] = 0;
        put_str("extra_hex", hex);
    } else {
        put_null("extra_hex");
    }
    /* Files the harness asked about: their size at the moment of the request, or null. */
    obj_begin("watched");
    for (int i = 0; i < help_watch_count; ++i) {
        WIN32_FILE_ATTRIBUTE_DATA fa;
        if (GetFileAttributesExA(help_watch[i], GetFileExInfoStandard, &fa))
            put_uint(help_watch[i],
                     ((unsigned long long)fa.nFileSizeHigh << 32) | fa.nFileSizeLow);
        else
            put_null(help_watch[i]);
    }
    obj_end();
    /* What the sender's process shows at the moment of the request. */
    arr_begin("sender_windows");
    if (pid) {
        struct sender_scan s = {pid};
        EnumWindows(sender_window_cb, (LPARAM)&s);
    }
    arr_end();
    obj_end();
    json_done();
    json_out = saved;
}

static LRESULT CALLBACK help_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COPYDATA) {
        const COPYDATASTRUCT *cds = (const COPYDATASTRUCT *)lp;
        struct help_request req;
        memset(&req, 0, sizeof req);
        log_help_request((HWND)wp, cds);
        if (cds->lpData && cds->cbData >= sizeof req)
            memcpy(&req, cds->lpData, sizeof req);
        if (req.command == HELP_QUIT)
            PostQuitMessage(0);
        return TRUE;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

static int cmd_helpstub(int argc, char **argv)
{
    if (argc < 1)
        return usage();
    help_watch = argv + 1;
    help_watch_count = argc - 1;
    help_log = fopen(argv[0], "ab");
    if (!help_log) {
        fprintf(stderr, "kvprobe: cannot open %s\n", argv[0]);
        return 1;
    }
    WNDCLASSW wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = help_proc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = L"MS_WINHELP";
    if (!RegisterClassW(&wc))
        return 1;
    HWND h = CreateWindowExW(0, L"MS_WINHELP", L"kvprobe help stub", WS_OVERLAPPED, 0, 0, 10,
                             10, NULL, NULL, wc.hInstance, NULL);
    if (!h)
        return 1;
    obj_begin(NULL);
    put_str("helpstub", "ready");
    put_hwnd("hwnd", h);
    obj_end();
    json_done();
    MSG m;
    while (GetMessageW(&m, NULL, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    fclose(help_log);
    return 0;
}

/* ------------------------------------------------------------------ waits */

struct find_visible {
    const wchar_t *cls;
    int need_visible;
    HWND found;
};

static BOOL CALLBACK find_cb(HWND h, LPARAM lp)
{
    struct find_visible *f = (struct find_visible *)lp;
    wchar_t cls[256];
    GetClassNameW(h, cls, 256);
    if (!class_is(cls, f->cls))
        return TRUE;
    if (f->need_visible && !IsWindowVisible(h))
        return TRUE;
    f->found = h;
    return FALSE;
}

static HWND find_top(const wchar_t *cls, int need_visible)
{
    struct find_visible f = {cls, need_visible, NULL};
    EnumWindows(find_cb, (LPARAM)&f);
    return f.found;
}

static int cmd_waitwindow(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    wchar_t *cls = widen(argv[0]);
    DWORD timeout = (DWORD)parse_u(argv[1]);
    int visible = argc > 2 && !strcmp(argv[2], "visible");
    DWORD start = GetTickCount();
    HWND h = NULL;
    for (;;) {
        h = find_top(cls, visible);
        if (h || GetTickCount() - start >= timeout)
            break;
        Sleep(20);
    }
    free(cls);
    if (!h) {
        obj_begin(NULL);
        put_null("hwnd");
        put_uint("waited_ms", GetTickCount() - start);
        obj_end();
        json_done();
        return 1;
    }
    arr_begin(NULL);
    put_window(h);
    arr_end();
    json_done();
    return 0;
}

/* Number of shell icon tips that carry a non-empty text. */
static int tray_tip_count(void)
{
    int n = 0;
    if (scan_tips(&tips, NULL))
        return 0;
    for (int i = 0; i < tips.count; ++i)
        if (tips.entries[i].text[0] && !IsRectEmpty(&tips.entries[i].rect))
            n++;
    return n;
}

/* Bench helper: polls closely until a visible window of the class exists (and,
   with "tray", a tray tip with text), then prints the moment in Unix ms. */
static int cmd_waitready(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    wchar_t *cls = widen(argv[0]);
    DWORD timeout = (DWORD)parse_u(argv[1]);
    int tray = argc > 2 && !strcmp(argv[2], "tray");
    DWORD start = GetTickCount();
    unsigned long long window_ms = 0, tray_ms = 0;
    /* Tell the harness that polling has begun, so it can start the program now. */
    obj_begin(NULL);
    put_bool("waiting", 1);
    put_uint("time_ms", unix_ms());
    obj_end();
    json_done();
    HWND h = NULL;
    for (;;) {
        if (!window_ms && (h = find_top(cls, 1)) != NULL)
            window_ms = unix_ms();
        if (tray && !tray_ms && tray_tip_count() > 0)
            tray_ms = unix_ms();
        if ((window_ms && (!tray || tray_ms)) || GetTickCount() - start >= timeout)
            break;
        Sleep(2);
    }
    free(cls);
    obj_begin(NULL);
    put_hwnd("hwnd", h);
    if (window_ms)
        put_uint("window_ms", window_ms);
    else
        put_null("window_ms");
    if (!tray)
        put_null("tray_ms");
    else if (tray_ms)
        put_uint("tray_ms", tray_ms);
    else
        put_null("tray_ms");
    if (h) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        put_uint("pid", pid);
    }
    obj_end();
    json_done();
    return (window_ms && (!tray || tray_ms)) ? 0 : 1;
}

static int cmd_procmem(int argc, char **argv)
{
    if (argc < 1)
        return usage();
    DWORD pid = (DWORD)parse_u(argv[0]);
    HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    PROCESS_MEMORY_COUNTERS_EX pmc;
    memset(&pmc, 0, sizeof pmc);
    BOOL ok = p && GetProcessMemoryInfo(p, (PROCESS_MEMORY_COUNTERS *)&pmc, sizeof pmc);
    DWORD gdi = p ? GetGuiResources(p, GR_GDIOBJECTS) : 0;
    DWORD user = p ? GetGuiResources(p, GR_USEROBJECTS) : 0;
    obj_begin(NULL);
    put_uint("pid", pid);
    put_bool("ok", ok);
    put_uint("working_set", pmc.WorkingSetSize);
    put_uint("peak_working_set", pmc.PeakWorkingSetSize);
    put_uint("private_usage", pmc.PrivateUsage);
    put_uint("pagefile_usage", pmc.PagefileUsage);
    put_uint("gdi_objects", gdi);
    put_uint("user_objects", user);
    obj_end();
    json_done();
    if (p)
        CloseHandle(p);
    return ok ? 0 : 1;
}

/* commit <pid> <bytes>: commits that much fresh memory in the process and writes every page of
   it, so a test can see that a memory figure of the process follows its private memory. The
   block stays with the process until it ends. */
static int cmd_commit(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    DWORD pid = (DWORD)parse_u(argv[0]);
    SIZE_T bytes = (SIZE_T)parse_u(argv[1]);
    HANDLE p = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                           FALSE, pid);
    BYTE *block = p && bytes ? (BYTE *)VirtualAllocEx(p, NULL, bytes, MEM_COMMIT | MEM_RESERVE,
                                                      PAGE_READWRITE)
                             : NULL;
    SIZE_T written = 0;
    if (block) {
        BYTE page[4096];
        memset(page, 0x5A, sizeof page);
        for (SIZE_T at = 0; at < bytes; at += sizeof page) {
            SIZE_T n = bytes - at < sizeof page ? bytes - at : sizeof page, got = 0;
            if (!WriteProcessMemory(p, block + at, page, n, &got))
                break;
            written += got;
        }
    }
    obj_begin(NULL);
    put_uint("pid", pid);
    put_uint("address", (unsigned long long)(ULONG_PTR)block);
    put_uint("bytes", bytes);
    put_uint("written", written);
    obj_end();
    json_done();
    if (p)
        CloseHandle(p);
    return block && written == bytes ? 0 : 1;
}

/* Waits until the process's user-interface thread waits for input with nothing queued. */
static int cmd_idle(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    DWORD pid = (DWORD)parse_u(argv[0]);
    DWORD timeout = (DWORD)parse_u(argv[1]);
    HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pid);
    DWORD start = GetTickCount();
    DWORD r = p ? WaitForInputIdle(p, timeout) : WAIT_FAILED;
    obj_begin(NULL);
    put_uint("pid", pid);
    put_bool("idle", r == 0);
    put_str("result", r == 0 ? "idle" : r == WAIT_TIMEOUT ? "timeout" : "failed");
    put_uint("waited_ms", GetTickCount() - start);
    obj_end();
    json_done();
    if (p)
        CloseHandle(p);
    return r == 0 ? 0 : 1;
}

static int cmd_now(void)
{
    obj_begin(NULL);
    put_uint("time_ms", unix_ms());
    put_int("screen_w", GetSystemMetrics(SM_CXSCREEN));
    put_int("screen_h", GetSystemMetrics(SM_CYSCREEN));
    HDC dc = GetDC(NULL);
    put_int("dpi", dc ? GetDeviceCaps(dc, LOGPIXELSX) : 0);
    if (dc)
        ReleaseDC(NULL, dc);
    obj_end();
    json_done();
    return 0;
}

int main(int argc, char **argv)
{
    json_out = stdout;
    if (argc < 2)
        return usage();
    const char *cmd = argv[1];
    int n = argc - 2;
    char **rest = argv + 2;
    if (!strcmp(cmd, "windows"))
        return cmd_windows(n, rest);
    if (!strcmp(cmd, "freespace"))
        return cmd_freespace(n, rest);
    if (!strcmp(cmd, "tooltips"))
        return cmd_tooltips();
    if (!strcmp(cmd, "menu"))
        return cmd_menu();
    if (!strcmp(cmd, "click") || !strcmp(cmd, "press") || !strcmp(cmd, "move") ||
        !strcmp(cmd, "release"))
        return cmd_pointer(cmd, n, rest);
    if (!strcmp(cmd, "key"))
        return cmd_key(n, rest);
    if (!strcmp(cmd, "command"))
        return cmd_command(n, rest);
    if (!strcmp(cmd, "send"))
        return cmd_send(n, rest);
    if (!strcmp(cmd, "pump"))
        return cmd_pump(n, rest);
    if (!strcmp(cmd, "regmsg"))
        return cmd_regmsg(n, rest);
    if (!strcmp(cmd, "helpstub"))
        return cmd_helpstub(n, rest);
    if (!strcmp(cmd, "waitwindow"))
        return cmd_waitwindow(n, rest);
    if (!strcmp(cmd, "waitready"))
        return cmd_waitready(n, rest);
    if (!strcmp(cmd, "procmem"))
        return cmd_procmem(n, rest);
    if (!strcmp(cmd, "commit"))
        return cmd_commit(n, rest);
    if (!strcmp(cmd, "idle"))
        return cmd_idle(n, rest);
    if (!strcmp(cmd, "now"))
        return cmd_now();
    return usage();
}
