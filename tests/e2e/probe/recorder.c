/*
 * kvrecorder: a stand-in web browser for the end-to-end suite.
 *
 * A test registers it as the program that opens .htm files in its Wine prefix.
 * Each start appends one JSON line to kvrecorder.log beside the executable:
 * the moment (Unix milliseconds), the raw command line, the arguments after the
 * program's name as the system splits them, and the current folder. It opens
 * no window (so it shows nothing on the desktop under test) and ends at once.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <stdio.h>
#include <wchar.h>

static void put_json_string(FILE *out, const wchar_t *w)
{
    char utf8[8192];
    int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, utf8, (int)sizeof utf8, NULL, NULL);
    if (n <= 0)
        utf8[0] = 0;
    fputc('"', out);
    for (const unsigned char *p = (const unsigned char *)utf8; *p; ++p) {
        if (*p == '"' || *p == '\\')
            fprintf(out, "\\%c", *p);
        else if (*p < 0x20)
            fprintf(out, "\\u%04x", *p);
        else
            fputc(*p, out);
    }
    fputc('"', out);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdline, int show)
{
    (void)instance;
    (void)previous;
    (void)cmdline;
    (void)show;

    wchar_t log_path[MAX_PATH + 32];
    DWORD len = GetModuleFileNameW(NULL, log_path, MAX_PATH);
    wchar_t *slash = len ? wcsrchr(log_path, L'\\') : NULL;
    if (!slash)
        return 2;
    wcscpy(slash + 1, L"kvrecorder.log");

    const wchar_t *line = GetCommandLineW();
    int argc = 0;
    wchar_t **argv = CommandLineToArgvW(line, &argc);
    wchar_t cwd[MAX_PATH + 1];
    if (!GetCurrentDirectoryW(MAX_PATH + 1, cwd))
        cwd[0] = 0;

    FILETIME ft;
    ULARGE_INTEGER now;
    GetSystemTimeAsFileTime(&ft);
    now.LowPart = ft.dwLowDateTime;
    now.HighPart = ft.dwHighDateTime;

    FILE *out = _wfopen(log_path, L"ab");
    if (!out)
        return 3;
    fprintf(out, "{\"time_ms\":%llu,\"cmdline\":",
            (unsigned long long)((now.QuadPart - 116444736000000000ULL) / 10000ULL));
    put_json_string(out, line);
    fputs(",\"args\":[", out);
    for (int i = 1; argv && i < argc; ++i) {
        if (i > 1)
            fputc(',', out);
        put_json_string(out, argv[i]);
    }
    fputs("],\"cwd\":", out);
    put_json_string(out, cwd);
    fputs("}\n", out);
    fclose(out);
    if (argv)
        LocalFree(argv);
    return 0;
}
