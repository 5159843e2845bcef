#include "system_file.h"

#include <stdexcept>

namespace helpgen {

Bytes build_system_file(const std::string& title) {
  if (title.empty() || title.size() > 127) throw std::invalid_argument("the help title must have 1 to 127 characters");
  ByteWriter w;
  w.u16(kSystemMagic);
  w.u16(kFormatMinor);
  w.u16(1);  // major version
  w.u32(0);  // date of creation: left out, so that a build is reproducible
  w.u16(0);  // flags: topic text not compressed, 4 KiB topic blocks
  w.u16(kSystemTitleRecord);
  w.u16(static_cast<unsigned>(title.size() + 1));
  w.zstring(title);
  return w.take();
}

}  // namespace helpgen
