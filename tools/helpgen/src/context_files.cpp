#include "context_files.h"

#include <algorithm>
#include <stdexcept>

#include "btree.h"

namespace helpgen {

Bytes build_context_file(std::vector<ContextEntry> entries, std::uint16_t page_size) {
  // The viewer compares hashes as signed numbers.
  std::sort(entries.begin(), entries.end(),
            [](const ContextEntry& a, const ContextEntry& b) { return a.hash < b.hash; });
  std::vector<BTreeEntry> tree;
  for (const ContextEntry& e : entries) {
    ByteWriter key, value;
    key.i32(e.hash);
    value.u32(e.topic_offset);
    tree.push_back({key.take(), value.take()});
  }
  return build_btree({0x0002, page_size, "L4"}, tree);
}

Bytes build_context_map_file(std::vector<ContextEntry> entries) {
  if (entries.size() > 0x7FFF) throw std::length_error("too many context numbers");
  std::sort(entries.begin(), entries.end(),
            [](const ContextEntry& a, const ContextEntry& b) { return a.number < b.number; });
  ByteWriter w;
  w.u16(static_cast<unsigned>(entries.size()));
  for (const ContextEntry& e : entries) {
    w.i32(e.number);
    w.u32(e.topic_offset);
  }
  return w.take();
}

}  // namespace helpgen
