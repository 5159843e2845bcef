#include "container.h"

#include <algorithm>
#include <stdexcept>

#include "btree.h"

namespace helpgen {
namespace {

constexpr std::uint16_t kDirectoryFlags = 0x0402;
constexpr std::uint16_t kDirectoryPageSize = 0x0400;
constexpr unsigned kFileFlags = 4;

void add_file(ByteWriter& out, const Bytes& data) {
  out.u32(static_cast<std::uint32_t>(data.size() + kFileHeaderSize));
  out.u32(static_cast<std::uint32_t>(data.size()));
  out.u8(kFileFlags);
  out.append(data);
}

}  // namespace

Bytes build_container(const std::vector<InternalFile>& files) {
  ByteWriter out;
  out.zeros(16);  // header, written last

  struct Placed {
    std::string name;
    std::uint32_t offset;
  };
  std::vector<Placed> placed;
  for (const InternalFile& f : files) {
    placed.push_back({f.name, static_cast<std::uint32_t>(out.size())});
    add_file(out, f.data);
  }
  std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.name < b.name; });
  std::vector<BTreeEntry> entries;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (i > 0 && placed[i].name == placed[i - 1].name)
      throw std::invalid_argument("internal file twice: " + placed[i].name);
    ByteWriter key, value;
    key.zstring(placed[i].name);
    value.u32(placed[i].offset);
    entries.push_back({key.take(), value.take()});
  }
  const auto directory = static_cast<std::uint32_t>(out.size());
  add_file(out, build_btree({kDirectoryFlags, kDirectoryPageSize, "z4"}, entries));

  Bytes all = out.take();
  ByteWriter header;
  header.u32(kHelpMagic);
  header.u32(directory);
  header.i32(-1);  // no free list
  header.u32(static_cast<std::uint32_t>(all.size()));
  std::copy(header.bytes().begin(), header.bytes().end(), all.begin());
  return all;
}

}  // namespace helpgen
