/*
 * kvminimal: the smallest honest Win32 window program, one window and one
 * message loop, built like kestrovan99.exe. The start-up benchmark sets the
 * program's figures beside this one's.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

static LRESULT CALLBACK minimal_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  (void)previous;
  (void)command_line;
  WNDCLASSW wc;
  ZeroMemory(&wc, sizeof wc);
  wc.lpfnWndProc = minimal_proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
  wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
  wc.lpszClassName = L"kvminimal_window";
  if (!RegisterClassW(&wc)) return 1;
  HWND h = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"kvminimal_window", L"", WS_POPUP | WS_DLGFRAME, 0, 0,
                           313, 79, NULL, NULL, instance, NULL);
  if (!h) return 1;
  ShowWindow(h, show);
  ShowWindow(h, SW_SHOW);
  MSG m;
  while (GetMessageW(&m, NULL, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return (int)m.wParam;
}
