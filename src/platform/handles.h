#pragma once
// The system's handles as the program holds them: 0 is none. As wide as a pointer of the target,
// so that no handle loses bits in the 64-bit build.
#include <cstdint>

namespace kv {

using WindowHandle = std::uintptr_t;
using IconHandle = std::uintptr_t;

}  // namespace kv
