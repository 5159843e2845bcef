#include "platform/win32/text_encoding.h"

#include <vector>

#include "platform/win32/win32_api.h"

namespace kv::win32 {
namespace {

std::wstring widen(const std::string& text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string narrow(const std::wstring& text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
  return bytes;
}

// The path as the ANSI code page spells it, when that spelling leads back to the same path.
bool ansiSpelling(const std::wstring& path, std::string& out) {
  out = narrow(path, CP_ACP);
  return widen(out, CP_ACP) == path;
}

std::wstring shortForm(const std::wstring& path) {
  const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (length == 0) return {};
  std::vector<wchar_t> buffer(length + 1);
  const DWORD written = GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  if (written == 0 || written >= buffer.size()) return {};
  return std::wstring(buffer.data(), written);
}

}  // namespace

std::wstring fromAnsi(const std::string& text) {
  return widen(text, CP_ACP);
}
std::string toAnsi(const std::wstring& text) {
  return narrow(text, CP_ACP);
}
std::wstring fromUtf8(const std::string& text) {
  return widen(text, CP_UTF8);
}
std::string toUtf8(const std::wstring& text) {
  return narrow(text, CP_UTF8);
}

std::string ansiPath(const std::string& utf8Path) {
  const std::wstring wide = fromUtf8(utf8Path);
  std::string ansi;
  if (ansiSpelling(wide, ansi)) return ansi;

  // The whole path has a short form only when the file exists; otherwise shorten its folder
  // and keep the name, which then has to survive the code page on its own.
  std::wstring shortened = shortForm(wide);
  if (shortened.empty()) {
    const size_t slash = wide.find_last_of(L"\\/");
    if (slash != std::wstring::npos) {
      const std::wstring folder = shortForm(wide.substr(0, slash));
      if (!folder.empty()) shortened = folder + wide.substr(slash);
    }
  }
  if (!shortened.empty() && ansiSpelling(shortened, ansi)) return ansi;
  return toAnsi(wide);  // the best the code page can do
}

}  // namespace kv::win32
