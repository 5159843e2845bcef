/*
 * kvloadlib: the control of the planted-DLL test. Placed in the program's
 * folder, it loads a DLL by its bare name the way any program does, and so
 * shows whether a DLL planted in that folder is picked up at all:
 *
 *   kvloadlib <name>             LoadLibraryW(name) with the default search
 *   kvloadlib <name> system32    the same after
 *                                SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)
 *
 * Prints one JSON object: the name, whether it loaded, the loaded module's
 * path and the error. Exit code 0 loaded, 1 not loaded, 2 usage. It imports
 * kernel32 and the C runtime only, so that nothing else is loaded before the
 * call.
 */
#define WIN32_LEAN_AND_MEAN
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0602
#endif
#include <windows.h>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

static HANDLE out;

static void put(const char *s)
{
    DWORD written = 0;
    WriteFile(out, s, (DWORD)lstrlenA(s), &written, NULL);
}

/* A JSON string of a wide text (backslashes and quotes escaped, UTF-8). */
static void put_wide(const WCHAR *w)
{
    char buf[4 * MAX_PATH];
    char esc[8 * MAX_PATH];
    int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, buf, sizeof buf, NULL, NULL);
    int j = 0;
    if (n <= 0)
        buf[0] = 0;
    esc[j++] = '"';
    for (int i = 0; buf[i] && j < (int)sizeof esc - 4; ++i) {
        if (buf[i] == '\\' || buf[i] == '"')
            esc[j++] = '\\';
        esc[j++] = buf[i];
    }
    esc[j++] = '"';
    esc[j] = 0;
    put(esc);
}

static void put_number(const char *key, unsigned long v)
{
    char digits[16];
    int n = 0;
    do {
        digits[n++] = (char)('0' + v % 10);
        v /= 10;
    } while (v && n < 15);
    put(",\"");
    put(key);
    put("\":");
    char buf[17];
    for (int i = 0; i < n; ++i)
        buf[i] = digits[n - 1 - i];
    buf[n] = 0;
    put(buf);
}

int wmain(int argc, WCHAR **argv)
{
    out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (argc < 2) {
        put("usage: kvloadlib <dll-name> [system32]\n");
        return 2;
    }
    int restricted = argc > 2 && lstrcmpiW(argv[2], L"system32") == 0;
    BOOL set = FALSE;
    if (restricted) {
        typedef BOOL(WINAPI * set_dirs_fn)(DWORD);
        set_dirs_fn set_dirs = (set_dirs_fn)(void *)GetProcAddress(
            GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
        set = set_dirs && set_dirs(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    HMODULE m = LoadLibraryW(argv[1]);
    DWORD error = m ? 0 : GetLastError();
    WCHAR path[MAX_PATH] = L"";
    if (m)
        GetModuleFileNameW(m, path, MAX_PATH);
    put("{\"name\":");
    put_wide(argv[1]);
    put(",\"restricted\":");
    put(restricted ? "true" : "false");
    put(",\"restricted_set\":");
    put(set ? "true" : "false");
    put(",\"loaded\":");
    put(m ? "true" : "false");
    put(",\"path\":");
    put_wide(path);
    put_number("error", error);
    put("}\n");
    return m ? 0 : 1;
}
