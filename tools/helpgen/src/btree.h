#pragma once
// B+ trees as the help file stores them: the internal directory (names to
// file offsets) and |CONTEXT (hashes to topic offsets).
//
// Layout: a 38-byte header (magic 0x293B, flags, page size, a structure
// string, root page, page count, levels, entry count), then the pages.
// Leaf pages: free bytes, entry count, previous and next leaf (-1 at the
// ends), the entries. Index pages: free bytes, entry count, the page for keys
// below the first entry, then (key, page) pairs, each page holding the keys
// from its key on.
#include <cstdint>
#include <string>
#include <vector>

#include "bytes.h"

namespace helpgen {

struct BTreeEntry {
  Bytes key;    // as it is stored in leaf and index pages
  Bytes value;  // stored after the key in leaf pages only
};

struct BTreeShape {
  std::uint16_t flags;
  std::uint16_t page_size;
  std::string structure;  // up to 16 characters, e.g. "z4"
};

constexpr std::uint16_t kBTreeMagic = 0x293B;
constexpr std::size_t kBTreeHeaderSize = 38;

// Entries must already be in the order the viewer searches them in.
Bytes build_btree(const BTreeShape& shape, const std::vector<BTreeEntry>& entries);

}  // namespace helpgen
