/*
 * kvplant.dll: a harmless DLL that the planted-DLL test copies beside the
 * program under the name of a DLL that the program (or system code inside it)
 * loads by name. It does nothing but leave a mark: when a process loads it,
 * DllMain appends the loading program's path to "<this DLL's path>.loaded",
 * so the test sees from outside who loaded it. It imports kernel32 only, so
 * that it can stand in for any other name.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

static void leave_mark(HINSTANCE self)
{
    WCHAR path[MAX_PATH + 16], host[MAX_PATH];
    DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    lstrcatW(path, L".loaded");
    DWORD h = GetModuleFileNameW(NULL, host, MAX_PATH);
    if (h == 0 || h >= MAX_PATH)
        lstrcpyW(host, L"?");
    HANDLE f = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return;
    char line[3 * MAX_PATH + 4];
    int len = WideCharToMultiByte(CP_UTF8, 0, host, -1, line, sizeof line - 3, NULL, NULL);
    if (len > 0) {
        DWORD written = 0;
        line[len - 1] = '\r';
        line[len] = '\n';
        WriteFile(f, line, (DWORD)len + 1, &written, NULL);
    }
    CloseHandle(f);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        leave_mark(self);
    return TRUE;
}
