#include "platform/win32/win32_help.h"

#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/system_library.h"
#include "platform/win32/system_version.h"
#include "platform/win32/text_encoding.h"

namespace kv::win32 {

namespace {
// Major versions: 6 is Vista to 8.1, the systems that ship without the viewer but can take the
// downloadable one; 10 is Windows 10 and 11, for which there is none.
constexpr DWORD kVistaMajor = 6;
constexpr DWORD kWindows10Major = 10;
constexpr DWORD kNeutralVersionBlock = 0x02;    // FILE_VER_GET_NEUTRAL: the file's own, not its language file's
constexpr wchar_t kStandInName[] = L"WINHSTB";  // InternalName of the stand-in %windir%\winhlp32.exe

// The internal name in the file's version block, in the block's first language that has one.
std::wstring internalName(const std::wstring& path) {
  using Size = DWORD(WINAPI*)(DWORD, LPCWSTR, LPDWORD);
  using Read = BOOL(WINAPI*)(DWORD, LPCWSTR, DWORD, DWORD, LPVOID);
  using Query = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
  const auto size = systemFunction<Size>(L"version.dll", "GetFileVersionInfoSizeExW");
  const auto read = systemFunction<Read>(L"version.dll", "GetFileVersionInfoExW");
  const auto query = systemFunction<Query>(L"version.dll", "VerQueryValueW");
  if (!size || !read || !query) return {};
  DWORD unused = 0;
  std::vector<unsigned char> block(size(kNeutralVersionBlock, path.c_str(), &unused));
  if (block.empty() || !read(kNeutralVersionBlock, path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()))
    return {};
  struct Translation {
    WORD language, codePage;
  };
  void* found = nullptr;
  UINT bytes = 0;
  if (!query(block.data(), L"\\VarFileInfo\\Translation", &found, &bytes) || !found) return {};
  const auto* translations = static_cast<const Translation*>(found);
  for (UINT i = 0; i < bytes / sizeof(Translation); ++i) {
    wchar_t key[64];
    std::swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\InternalName", translations[i].language,
                  translations[i].codePage);
    void* name = nullptr;
    UINT chars = 0;
    if (query(block.data(), key, &name, &chars) && name && chars) return static_cast<const wchar_t*>(name);
  }
  return {};
}

// Vista to 8.1 keep only a stand-in %windir%\winhlp32.exe that shows the note that Windows Help is
// no longer supported; installing the downloadable viewer (KB917607) replaces that file with the
// viewer. What WinHelp starts is that file, so it decides, whichever way the viewer came.
bool downloadableViewerInstalled() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  const std::wstring viewer = std::wstring(folder, length) + L"\\winhlp32.exe";
  if (GetFileAttributesW(viewer.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  return _wcsicmp(internalName(viewer).c_str(), kStandInName) != 0;
}

bool systemShowsHelpFiles() {
  const SystemVersion version = realSystemVersion();
  if (version.major >= kWindows10Major) return false;
  if (version.major >= kVistaMajor) return downloadableViewerInstalled();
  return true;  // before Vista every Windows has its viewer
}
}  // namespace

bool Win32Help::showsHelpFiles() {
  if (!showsHelpFiles_) showsHelpFiles_ = systemShowsHelpFiles();
  return *showsHelpFiles_;
}

void Win32Help::show(WindowHandle owner, const std::string& file, HelpCommand command, unsigned long topic) {
  WinHelpA(desktop_.ownerOrStandIn(owner), ansiPath(file).c_str(), static_cast<UINT>(command),
           static_cast<ULONG_PTR>(topic));
}

}  // namespace kv::win32
