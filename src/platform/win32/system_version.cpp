#include "platform/win32/system_version.h"

#include "platform/win32/system_library.h"

namespace kv::win32 {

namespace {
constexpr LONG kStatusSuccess = 0;  // STATUS_SUCCESS
}  // namespace

SystemVersion realSystemVersion() {
  using GetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto getVersion = systemFunction<GetVersion>(L"ntdll.dll", "RtlGetVersion");
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!getVersion || getVersion(&info) != kStatusSuccess) return {};
  return {info.dwMajorVersion, info.dwMinorVersion};
}

bool runsUnderWine() {
  using WineVersion = const char*(CDECL*)();
  static const bool wine = systemFunction<WineVersion>(L"ntdll.dll", "wine_get_version") != nullptr;
  return wine;
}

}  // namespace kv::win32
