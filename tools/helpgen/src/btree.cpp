#include "btree.h"

#include <stdexcept>

namespace helpgen {
namespace {

constexpr std::size_t kLeafHeader = 8;
constexpr std::size_t kIndexHeader = 6;

struct Page {
  Bytes bytes;
  Bytes first_key;  // smallest key below this page
};

// Packs items into pages of at most `room` bytes each, in order.
std::vector<std::vector<std::size_t>> pack(const std::vector<std::size_t>& sizes, std::size_t room) {
  std::vector<std::vector<std::size_t>> groups(1);
  std::size_t used = 0;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (sizes[i] > room) throw std::length_error("B+ tree entry larger than a page");
    if (used + sizes[i] > room && !groups.back().empty()) {
      groups.emplace_back();
      used = 0;
    }
    groups.back().push_back(i);
    used += sizes[i];
  }
  return groups;
}

}  // namespace

Bytes build_btree(const BTreeShape& shape, const std::vector<BTreeEntry>& entries) {
  const std::size_t page_size = shape.page_size;
  std::vector<Page> pages;

  // Leaves.
  std::vector<std::size_t> sizes;
  for (const BTreeEntry& e : entries) sizes.push_back(e.key.size() + e.value.size());
  auto leaves = pack(sizes, page_size - kLeafHeader);
  for (std::size_t p = 0; p < leaves.size(); ++p) {
    ByteWriter body;
    for (std::size_t i : leaves[p]) {
      body.append(entries[i].key);
      body.append(entries[i].value);
    }
    ByteWriter w;
    w.u16(static_cast<unsigned>(page_size - kLeafHeader - body.size()));
    w.i16(static_cast<int>(leaves[p].size()));
    w.i16(p == 0 ? -1 : static_cast<int>(p - 1));
    w.i16(p + 1 == leaves.size() ? -1 : static_cast<int>(p + 1));
    w.append(body.bytes());
    w.zeros(page_size - w.size());
    pages.push_back({w.take(), leaves[p].empty() ? Bytes{} : entries[leaves[p].front()].key});
  }

  // Index levels, until one page covers everything.
  std::size_t level_begin = 0;
  std::size_t level_end = pages.size();
  int levels = 1;
  while (level_end - level_begin > 1) {
    sizes.clear();
    for (std::size_t c = level_begin + 1; c < level_end; ++c) sizes.push_back(pages[c].first_key.size() + 2);
    // Child level_begin + 1 + i has size index i; every group also takes the
    // child before its first entry as its "below" page.
    std::vector<std::vector<std::size_t>> groups;
    std::size_t room = page_size - kIndexHeader;
    std::size_t used = 0;
    groups.push_back({level_begin});
    for (std::size_t i = 0; i < sizes.size(); ++i) {
      std::size_t child = level_begin + 1 + i;
      if (used + sizes[i] > room) {
        groups.push_back({child});
        used = 0;
      } else {
        groups.back().push_back(child);
        used += sizes[i];
      }
    }
    std::size_t next_begin = pages.size();
    for (const auto& g : groups) {
      ByteWriter body;
      for (std::size_t k = 1; k < g.size(); ++k) {
        body.append(pages[g[k]].first_key);
        body.u16(static_cast<unsigned>(g[k]));
      }
      ByteWriter w;
      w.u16(static_cast<unsigned>(room - body.size()));
      w.i16(static_cast<int>(g.size() - 1));
      w.i16(static_cast<int>(g.front()));
      w.append(body.bytes());
      w.zeros(page_size - w.size());
      Bytes first = pages[g.front()].first_key;
      pages.push_back({w.take(), first});
    }
    level_begin = next_begin;
    level_end = pages.size();
    ++levels;
  }
  if (pages.size() > 0x7FFF) throw std::length_error("B+ tree too large");

  ByteWriter out;
  out.u16(kBTreeMagic);
  out.u16(shape.flags);
  out.u16(shape.page_size);
  out.fixed_string(shape.structure, 16);
  out.i16(0);                                   // must be zero
  out.i16(0);                                   // page splits
  out.i16(static_cast<int>(pages.size() - 1));  // root: the last page written
  out.i16(-1);                                  // must be -1
  out.i16(static_cast<int>(pages.size()));
  out.i16(levels);
  out.i32(static_cast<std::int32_t>(entries.size()));
  for (const Page& p : pages) out.append(p.bytes);
  return out.take();
}

}  // namespace helpgen
