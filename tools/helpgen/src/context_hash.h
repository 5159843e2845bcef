#pragma once
// Context names and the hash under which the viewer looks them up.
#include <cstdint>
#include <string>

namespace helpgen {

// The name a topic is known by inside the file: "IDH_" and its context number.
std::string context_name(std::int32_t number);

// The viewer's hash of a context name: h = h * 43 + code(c) over the name,
// in 32-bit arithmetic, where letters of either case code as 17..42, the
// digits 1..9 as themselves, 0 as 10, '.' as 12 and '_' as 13. Only those
// characters may appear in a name; anything else throws.
std::int32_t context_hash(const std::string& name);

}  // namespace helpgen
