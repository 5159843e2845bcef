/*
 * kvbaretray: the least a program like ours needs, built like kestrovan99.exe: one
 * 307 x 73 window of six labels and one tray icon through Shell_NotifyIconA (so the
 * shell and the tray round trip are in it). The start-up benchmark sets the program's
 * figures beside this one's.
 *
 *     kvbaretray.exe [thread] [dll ...]   "thread": one more thread, with a drive worker's
 *                                stack, waiting for ever; each DLL is loaded from the system
 *                                folder first: so the benchmark can price a thread or a DLL
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#ifdef KV_THEMED
#include <commctrl.h>
#endif

enum { LABELS = 6, LABEL_HEIGHT = 12, TRAY_ID = 1, TRAY_CALLBACK = WM_APP + 1, THREAD_STACK = 64 * 1024 };

static LRESULT CALLBACK bare_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

static DWORD WINAPI idle_thread(LPVOID never_set) {
  return WaitForSingleObject((HANDLE)never_set, INFINITE);
}

static void take_arguments(void) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; args && i < count; ++i) {
    if (lstrcmpW(args[i], L"thread") == 0)
      CloseHandle(CreateThread(NULL, THREAD_STACK, idle_thread, CreateEventW(NULL, TRUE, FALSE, NULL),
                               STACK_SIZE_PARAM_IS_A_RESERVATION, NULL));
    else
      LoadLibraryExW(args[i], NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  LocalFree(args);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  (void)previous;
  (void)command_line;
  (void)show;
  take_arguments();
#ifdef KV_THEMED
  /* kvbaretray_themed.exe: its manifest asks for the themed common controls, which a tray program
     with a button or a list anywhere loads at start */
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
#endif
  WNDCLASSW wc;
  ZeroMemory(&wc, sizeof wc);
  wc.lpfnWndProc = bare_proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"kvbaretray_window";
  if (!RegisterClassW(&wc)) return 1;
  HWND h = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"kvbaretray_window", L"", WS_POPUP | WS_DLGFRAME, 100, 80,
                           313, 79, NULL, NULL, instance, NULL);
  if (!h) return 1;
  for (int i = 0; i < LABELS; ++i)
    CreateWindowExW(0, L"Static", L"C:\\  1,234.5 MB free", WS_CHILD | WS_VISIBLE | SS_LEFT, 4, i * LABEL_HEIGHT, 299,
                    LABEL_HEIGHT, h, NULL, instance, NULL);

  NOTIFYICONDATAA icon;
  ZeroMemory(&icon, sizeof icon);
  icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  icon.hWnd = h;
  icon.uID = TRAY_ID;
  icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  icon.uCallbackMessage = TRAY_CALLBACK;
  icon.hIcon = LoadIconW(NULL, (LPCWSTR)IDI_APPLICATION);
  lstrcpynA(icon.szTip, "kvbaretray", sizeof icon.szTip);
  Shell_NotifyIconA(NIM_ADD, &icon);
  ShowWindow(h, SW_SHOW);

  MSG m;
  while (GetMessageW(&m, NULL, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  Shell_NotifyIconA(NIM_DELETE, &icon);
  return (int)m.wParam;
}
