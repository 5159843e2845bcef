#include "context_hash.h"

#include <stdexcept>

namespace helpgen {

std::string context_name(std::int32_t number) {
  return "IDH_" + std::to_string(number);
}

std::int32_t context_hash(const std::string& name) {
  std::uint32_t h = 0;
  for (char c : name) {
    unsigned code;
    if (c >= 'A' && c <= 'Z')
      code = static_cast<unsigned>(c - 'A') + 17;
    else if (c >= 'a' && c <= 'z')
      code = static_cast<unsigned>(c - 'a') + 17;
    else if (c >= '1' && c <= '9')
      code = static_cast<unsigned>(c - '0');
    else if (c == '0')
      code = 10;
    else if (c == '.')
      code = 12;
    else if (c == '_')
      code = 13;
    else
      throw std::invalid_argument("character not allowed in a context name: " + name);
    h = h * 43u + code;
  }
  return static_cast<std::int32_t>(h);
}

}  // namespace helpgen
