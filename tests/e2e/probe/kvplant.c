/*
 * kvplant.dll: planted beside the program under the name of a DLL that the program loads while it
 * runs. Being loaded is all it does, and it leaves "<its own path>.loaded" to say so. It imports
 * kernel32 only, so that it loads wherever it stands in for another name.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  WCHAR mark[MAX_PATH + 8];
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH && GetModuleFileNameW(self, mark, MAX_PATH)) {
    lstrcatW(mark, L".loaded");
    CloseHandle(CreateFileW(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
  }
  return TRUE;
}
