#pragma once
// Conversions between the program's texts and the system's wide texts. Window and menu texts
// are 8-bit in the ANSI code page; file paths are UTF-8.
#include <string>

namespace kv::win32 {

std::wstring fromAnsi(const std::string&);
std::string toAnsi(const std::wstring&);
std::wstring fromUtf8(const std::string&);
std::string toUtf8(const std::wstring&);

// A UTF-8 path in the form that an ANSI-only system call can open: the path itself when every
// character survives the ANSI code page, otherwise its short (8.3) form.
std::string ansiPath(const std::string& utf8Path);

}  // namespace kv::win32
