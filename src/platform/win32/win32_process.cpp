#include "platform/win32/win32_process.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/text_encoding.h"

namespace kv::win32 {
namespace {

constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;
// The longest path the system takes, with its NUL.
constexpr size_t kLongestPathBuffer = UNICODE_STRING_MAX_CHARS + 1;
// Room for the decimal separator, which the system keeps to three characters and a NUL.
constexpr int kSeparatorBuffer = 8;

std::wstring modulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    if (buffer.size() >= kLongestPathBuffer) return {};
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

Win32Process::~Win32Process() {
  if (instanceMutex_) CloseHandle(instanceMutex_);
}

bool Win32Process::previousInstance() {
  if (!instanceMutex_) {
    instanceMutex_ = CreateMutexW(nullptr, FALSE, L"Local\\Kestrovan99.Instance");
    previous_ = instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
  }
  return previous_;
}

std::string Win32Process::commandLine() {
  const wchar_t* text = GetCommandLineW();
  if (!text) return {};
  // The program's own name comes first, quoted or not; the arguments start after the blanks
  // that follow it.
  if (*text == L'"') {
    ++text;
    while (*text && *text != L'"') ++text;
    if (*text == L'"') ++text;
  } else {
    while (*text && *text != L' ' && *text != L'\t') ++text;
  }
  while (*text == L' ' || *text == L'\t') ++text;
  return toAnsi(text);
}

std::string Win32Process::exeFolder() {
  std::wstring path = modulePath();
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  path.resize(slash);
  if (!path.empty() && path.back() == L':') path += L'\\';  // "C:\" keeps its separator
  return toUtf8(path);
}

VersionNumbers Win32Process::version() {
  VersionNumbers numbers;
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  if (!found) return numbers;
  HGLOBAL loaded = LoadResource(nullptr, found);
  const auto* block = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
  const DWORD size = SizeofResource(nullptr, found);
  if (!block) return numbers;
  // The fixed part of the block starts with its signature, on a 32-bit boundary.
  for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size; at += sizeof(DWORD)) {
    DWORD signature;
    std::memcpy(&signature, block + at, sizeof signature);
    if (signature != kFixedInfoSignature) continue;
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, block + at, sizeof info);
    numbers.major = HIWORD(info.dwFileVersionMS);
    numbers.minor = LOWORD(info.dwFileVersionMS);
    numbers.revision = LOWORD(info.dwFileVersionLS);
    break;
  }
  return numbers;
}

char Win32Process::decimalSeparator() {
  char separator[kSeparatorBuffer] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) > 0 && separator[0])
    return separator[0];
  return '.';
}

void Win32Process::end(int code) {
  ExitProcess(static_cast<UINT>(code));
}

}  // namespace kv::win32
