// The desktop's contract on the Win32 adapter: what the screen shows read through the system's own
// calls, the pointer sent as the system sends it, keys as the user's input, and a thread timer
// that acts while a menu, a modal window or a message box runs its own loop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>

#include "contract/win32/world_events.h"
#include "contract/worlds.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_process.h"

#include <dbt.h>  // after the system's own headers, which it needs

namespace kv::contract {
namespace {

HWND hwnd(WindowHandle h) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(h));
}

struct Search {
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK lookAt(HWND w, LPARAM s) {
  auto& search = *reinterpret_cast<Search*>(s);
  wchar_t name[32] = {};
  GetClassNameW(w, name, 32);
  if (wcscmp(name, search.className) == 0 && IsWindowVisible(w)) search.found = w;
  return !search.found;
}

// The visible window of this class on this thread, if one is up.
HWND upOnThisThread(const wchar_t* className) {
  Search search{className, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), &lookAt, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string utf8Text(HWND window) {
  wchar_t text[512] = {};
  char utf8[1536] = {};
  GetWindowTextW(window, text, 512);
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

void keys(std::initializer_list<WORD> down) {
  std::vector<INPUT> in;
  for (WORD vk : down) in.push_back(INPUT{INPUT_KEYBOARD, {}}), in.back().ki.wVk = vk;
  for (auto vk = std::rbegin(down); vk != std::rend(down); ++vk)
    in.push_back(INPUT{INPUT_KEYBOARD, {}}), in.back().ki.wVk = *vk, in.back().ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

class Win32DesktopWorld;
Win32DesktopWorld* current = nullptr;  // the thread timers' world

class Win32DesktopWorld final : public DesktopWorld {
 public:
  Win32DesktopWorld() { current = this; }
  ~Win32DesktopWorld() override {
    if (userTimer_) KillTimer(nullptr, userTimer_);
    current = nullptr;
  }
  Desktop& desktop() override { return desktop_; }
  bool runUntil(const std::function<bool()>& done, unsigned ms) override {
    return contract::runUntil(desktop_, done, ms);
  }
  int twipsPerPixel() override { return 1440 / dpi(); }
  Rect workArea() override {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return twips(work);
  }

  bool exists(WindowHandle h) override { return IsWindow(hwnd(h)); }
  bool visible(WindowHandle h, int id) override { return GetWindowLongW(of(h, id), GWL_STYLE) & WS_VISIBLE; }
  bool takesInput(WindowHandle h) override { return IsWindowEnabled(hwnd(h)); }
  WindowHandle active() override {
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(GetActiveWindow()));
  }
  int focused(WindowHandle h) override {
    HWND focus = GetFocus();
    return focus && IsChild(hwnd(h), focus) ? GetDlgCtrlID(focus) : 0;
  }
  bool topmost(WindowHandle h) override { return GetWindowLongW(hwnd(h), GWL_EXSTYLE) & WS_EX_TOPMOST; }
  Rect clientArea(WindowHandle h) override {
    RECT r;
    GetClientRect(hwnd(h), &r);
    return twips(r);
  }
  Rect controlPlace(WindowHandle h, int id) override {
    RECT r;
    GetWindowRect(of(h, id), &r);
    MapWindowPoints(nullptr, hwnd(h), reinterpret_cast<POINT*>(&r), 2);
    return twips(r);
  }
  std::string text(WindowHandle h, int id) override {
    char text[512] = {};
    GetWindowTextA(of(h, id), text, sizeof text);
    return text;
  }
  bool checked(WindowHandle h, int id) override { return SendMessageW(of(h, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  int drawnWidth(WindowHandle h, int id) override {
    wchar_t text[512] = {};
    const int length = GetWindowTextW(of(h, id), text, 512);
    HDC dc = GetDC(of(h, id));
    HGDIOBJ before = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(of(h, id), WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text, length, &size);
    SelectObject(dc, before);
    ReleaseDC(of(h, id), dc);
    return size.cx * twipsPerPixel();
  }
  bool boxInFront() override { return upOnThisThread(L"#32770") && GetForegroundWindow() == upOnThisThread(L"#32770"); }
  Font drawnFont(WindowHandle h, int id) override {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(of(h, id), WM_GETFONT, 0, 0)), sizeof font, &font);
    char face[LF_FACESIZE * 3] = {};
    WideCharToMultiByte(CP_ACP, 0, font.lfFaceName, -1, face, sizeof face, nullptr, nullptr);
    return {face, std::abs(font.lfHeight) * 72.0 / dpi()};
  }
  // As the control asks its window before it paints; the window's own as it erases its background.
  Colour colour(WindowHandle h, int id, bool text) override {
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HBITMAP pixels = CreateCompatibleBitmap(screen, 2, 2);
    HGDIOBJ before = SelectObject(dc, pixels);
    COLORREF c;
    if (id) {
      SendMessageW(hwnd(h), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(of(h, id)));
      c = text ? GetTextColor(dc) : GetBkColor(dc);
    } else {
      SendMessageW(hwnd(h), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      c = GetPixel(dc, 0, 0);
    }
    SelectObject(dc, before), DeleteObject(pixels), DeleteDC(dc), ReleaseDC(nullptr, screen);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
  }
  std::vector<std::string> menuShown(WindowHandle h) override {
    std::vector<std::string> shown;
    std::function<void(HMENU)> entries = [&](HMENU menu) {
      for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        shown.push_back(GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR ? "-" : text);
        if (HMENU sub = h ? GetSubMenu(menu, i) : nullptr) entries(sub);
      }
    };
    entries(h ? GetMenu(hwnd(h)) : reinterpret_cast<HMENU>(SendMessageW(upOnThisThread(L"#32768"), MN_GETHMENU, 0, 0)));
    return shown;
  }
  Point menuCorner() override {
    RECT place{};
    GetWindowRect(upOnThisThread(L"#32768"), &place);
    const Rect corner = twips(place);
    return {corner.left, corner.top};
  }
  // Under Wine the move reaches X later, and a motion X reports from before it can undo it
  // meanwhile: moved until the place holds.
  void pointTo(Point at) override {
    const POINT want{at.x / twipsPerPixel(), at.y / twipsPerPixel()};
    const auto there = [want] {
      POINT now{};
      return GetCursorPos(&now) && now.x == want.x && now.y == want.y;
    };
    for (int settled = 0, tries = 0; settled < 3 && tries < 100; ++tries) {
      if (!there()) SetCursorPos(want.x, want.y), settled = 0;
      runUntil([] { return false; }, 30);
      settled += there();
    }
  }
  Rect imageSize(WindowHandle h, int id) override {
    BITMAP image{};
    GetObjectW(shownBitmap(h, id), sizeof image, &image);
    return twips(RECT{0, 0, image.bmWidth, image.bmHeight});
  }
  std::vector<unsigned char> picture(WindowHandle h, int id) override {
    const HBITMAP bitmap = shownBitmap(h, id);
    BITMAP image{};
    if (!GetObjectW(bitmap, sizeof image, &image)) return {};
    BITMAPINFO format{};
    format.bmiHeader = {sizeof format.bmiHeader, image.bmWidth, -image.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<unsigned char> bgrx(static_cast<size_t>(image.bmWidth) * image.bmHeight * 4), rgb;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, image.bmHeight, bgrx.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (size_t i = 0; i < bgrx.size(); i += 4) rgb.insert(rgb.end(), {bgrx[i + 2], bgrx[i + 1], bgrx[i]});
    return rgb;
  }
  // Kept in this program's resources as binary PPM files (P6, 255).
  std::vector<unsigned char> shippedPicture(Image image, int dpi) override {
    const std::wstring name = (image == Image::AboutBanner ? L"ABOUT" : L"OPTIONS") + std::to_wstring(dpi);
    HRSRC found = FindResourceW(nullptr, name.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!found) return {};
    const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, found)));
    const std::vector<unsigned char> file(bytes, bytes + SizeofResource(nullptr, found));
    size_t start = 0;
    for (int lines = 0; lines < 3 && start < file.size(); ++start) lines += file[start] == '\n';
    return {file.begin() + static_cast<std::ptrdiff_t>(start), file.end()};
  }
  bool above(WindowHandle h, int id, int other) override {  // siblings paint in their order, the top last
    for (HWND below = GetWindow(of(h, id), GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT))
      if (below == of(h, other)) return true;
    return false;
  }
  bool themed(WindowHandle h, int id) override {  // the control's class procedure is the common controls'
    HMODULE module = nullptr;
    wchar_t file[MAX_PATH] = {};
    const auto procedure = reinterpret_cast<LPCWSTR>(GetClassLongPtrW(of(h, id), GCLP_WNDPROC));
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           procedure, &module))
      GetModuleFileNameW(module, file, MAX_PATH);
    return std::wcsstr(_wcslwr(file), L"comctl32") != nullptr;
  }
  WindowHandle ownerOf(WindowHandle h) override {
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(GetWindow(hwnd(h), GW_OWNER)));
  }
  bool programsIcon(IconHandle icon) override {
    return icon && icon != reinterpret_cast<IconHandle>(LoadIconW(nullptr, IDI_APPLICATION));
  }
  std::vector<IconHandle> windowIcons(WindowHandle h) override {
    std::vector<IconHandle> icons;
    for (WPARAM size : {ICON_SMALL, ICON_BIG})
      icons.push_back(static_cast<IconHandle>(SendMessageW(hwnd(h), WM_GETICON, size, 0)));
    return icons;
  }
  int windowsKept() override { return static_cast<int>(desktop_.windowsKept()); }
  // Wine's GetGuiResources answers 0: the program counts its own and tells any window that asks.
  int gdiObjects(WindowHandle h) override {
    return static_cast<int>(SendMessageW(hwnd(h), RegisterWindowMessageW(L"Kestrovan99.GdiObjects"), 0, 0));
  }
  std::string boxText() override {  // its caption and texts in UTF-8, as the program gives them
    HWND box = upOnThisThread(L"#32770");
    std::string all = utf8Text(box);
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) all += "\n" + utf8Text(c);
    return all;
  }

  void pointer(WindowHandle h, int id, Pointer phase, MouseButton button, int x, int y) override {
    const UINT downs[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, 0, WM_MBUTTONDOWN};
    const UINT down = downs[static_cast<int>(button) - 1];
    const UINT message = phase == Pointer::Down ? down : phase == Pointer::Move ? WM_MOUSEMOVE : down + 1;
    const WPARAM held = phase == Pointer::Up ? 0 : static_cast<WPARAM>(button);  // MK_LBUTTON 1, MK_RBUTTON 2
    if (!IsWindowEnabled(hwnd(h))) return pointerOnDisabled(h, message);
    SendMessageW(of(h, id), message, held, MAKELPARAM(x / twipsPerPixel(), y / twipsPerPixel()));
  }
  void click(WindowHandle h, int id) override {
    if (!IsWindowEnabled(hwnd(h))) return pointerOnDisabled(h, WM_LBUTTONDOWN);
    RECT r;
    GetClientRect(of(h, id), &r);
    SendMessageW(of(h, id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, r.bottom / 2));
    SendMessageW(of(h, id), WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, r.bottom / 2));
  }
  void pick(WindowHandle h, int id, int entry) override { SendMessageW(of(h, id), CB_SETCURSEL, entry, 0); }
  void press(WindowHandle h, const std::string& key) override {
    SetForegroundWindow(hwnd(h));
    if (key == "Ctrl+C") return keys({VK_CONTROL, 'C'});
    if (key == "Alt+F") return keys({VK_MENU, 'F'});
    if (key == "F1 unfocused") SetFocus(nullptr);
    keys({static_cast<WORD>(key.compare(0, 2, "F1") == 0 ? VK_F1 : key == "Esc" ? VK_ESCAPE : VK_RETURN)});
  }
  void switchAway() override { SetForegroundWindow(FindWindowW(L"Shell_TrayWnd", nullptr)); }
  void close(WindowHandle h) override { SendMessageW(hwnd(h), WM_SYSCOMMAND, SC_CLOSE, 0); }
  void tell(WindowHandle h, SystemEvent event) override {
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    const UINT messages[] = {taskbarCreated, WM_DISPLAYCHANGE, WM_ENDSESSION, WM_ENDSESSION};
    if (event < SystemEvent::DriveArrived)
      return void(PostMessageW(hwnd(h), messages[static_cast<int>(event)], event == SystemEvent::SessionEnds, 0));
    // As the system broadcasts a device's arrival (a volume, drive e:, or a serial port), a volume's
    // removal, or its question whether a volume may go.
    DEV_BROADCAST_VOLUME volume{sizeof volume, DBT_DEVTYP_VOLUME, 0, 1u << 4, 0};
    DEV_BROADCAST_HDR port{sizeof port, DBT_DEVTYP_PORT, 0};
    const WPARAM change = event == SystemEvent::DriveRemoved   ? DBT_DEVICEREMOVECOMPLETE
                          : event == SystemEvent::RemovalAsked ? DBT_DEVICEQUERYREMOVE
                                                               : DBT_DEVICEARRIVAL;
    SendMessageW(
        hwnd(h), WM_DEVICECHANGE, change,
        event == SystemEvent::PortArrived ? reinterpret_cast<LPARAM>(&port) : reinterpret_cast<LPARAM>(&volume));
  }
  // As the system tells a window moved onto a monitor of another DPI, its place suggested as it is.
  void rescale(WindowHandle h, int dpi) override {
    RECT place;
    GetWindowRect(hwnd(h), &place);
    SendMessageW(hwnd(h), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
  }
  void inNextMenu(std::function<void()> look, char letter) override {
    actWhen([] { return upOnThisThread(L"#32768") != nullptr; }, std::move(look),
            [letter] { keys({letter ? static_cast<WORD>(letter) : static_cast<WORD>(VK_ESCAPE)}); });
  }
  void inNextBox(std::function<void()> look) override {
    actWhen([] { return upOnThisThread(L"#32770") != nullptr; }, std::move(look),
            [] { PostMessageW(upOnThisThread(L"#32770"), WM_COMMAND, IDOK, 0); });
  }
  void inNextModal(WindowHandle h, std::function<void()> look) override {
    actWhen([h] { return IsWindowVisible(hwnd(h)) && !IsWindowEnabled(GetWindow(hwnd(h), GW_OWNER)); }, std::move(look),
            [h] { PostMessageW(hwnd(h), WM_SYSCOMMAND, SC_CLOSE, 0); });
  }

 private:
  // Once up() holds, inside whatever loop runs then: look(), then act().
  void actWhen(std::function<bool()> up, std::function<void()> look, std::function<void()> act) {
    up_ = std::move(up), look_ = std::move(look), act_ = std::move(act);
    userTimer_ = SetTimer(nullptr, 0, 20, &actOnceUp);
  }
  static void CALLBACK actOnceUp(HWND, UINT, UINT_PTR, DWORD) {
    if (!current->up_()) return;
    KillTimer(nullptr, current->userTimer_);
    current->userTimer_ = 0;
    current->look_();
    current->act_();
  }
  // What the system sends a window that takes no input when a button is pressed over it.
  void pointerOnDisabled(WindowHandle h, UINT message) {
    SendMessageW(hwnd(h), WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd(h)), MAKELPARAM(HTERROR, message));
  }
  HWND of(WindowHandle h, int id) { return id ? GetDlgItem(hwnd(h), id) : hwnd(h); }
  HBITMAP shownBitmap(WindowHandle h, int id) {
    return reinterpret_cast<HBITMAP>(SendMessageW(of(h, id), STM_GETIMAGE, IMAGE_BITMAP, 0));
  }
  int dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
  }
  Rect twips(const RECT& r) {
    const int t = twipsPerPixel();
    return {r.left * t, r.top * t, (r.right - r.left) * t, (r.bottom - r.top) * t};
  }

  std::function<bool()> up_;
  std::function<void()> look_, act_;
  UINT_PTR userTimer_ = 0;
  win32::Win32Process process_;
  win32::Win32Desktop desktop_{GetModuleHandleW(nullptr), process_, kWorldNotice};
};

}  // namespace

std::unique_ptr<DesktopWorld> makeDesktopWorld() {
  return std::make_unique<Win32DesktopWorld>();
}

}  // namespace kv::contract
