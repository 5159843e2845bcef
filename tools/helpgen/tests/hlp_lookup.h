#pragma once
// Just enough of a help-file reader for the tests, written apart from the
// generator: the directory, the viewer's B+ tree search, and the topic
// headers of |TOPIC by topic offset.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lookup {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kNone = 0xFFFFFFFF;

inline std::uint32_t u32(const Bytes& b, std::size_t at) {
  return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}
inline int i16(const Bytes& b, std::size_t at) {
  return static_cast<std::int16_t>(b.at(at) | b.at(at + 1) << 8);
}

inline std::size_t read_key(const Bytes& b, std::size_t at, std::string& key) {
  for (key.clear(); b.at(at + key.size()) != 0;) key += static_cast<char>(b[at + key.size()]);
  return key.size() + 1;
}
inline std::size_t read_key(const Bytes& b, std::size_t at, std::int32_t& key) {
  key = static_cast<std::int32_t>(u32(b, at));
  return 4;
}

// From the root down: in an index page, follow the last entry whose key is
// not above `key`; in the leaf, return the 4-byte value stored with `key`.
template <typename Key>
std::optional<std::uint32_t> btree_find(const Bytes& tree, const Key& key) {
  const std::size_t page_size = static_cast<std::uint16_t>(i16(tree, 4));
  int page = i16(tree, 26);
  for (int level = i16(tree, 32); level > 0; --level) {
    const bool leaf = level == 1;
    std::size_t at = 38 + page * page_size;
    int count = i16(tree, at + 2);
    if (!leaf) page = i16(tree, at + 4);
    for (at += leaf ? 8 : 6; count-- > 0; at += leaf ? 4 : 2) {
      Key k;
      at += read_key(tree, at, k);
      if (leaf && k == key) return u32(tree, at);
      if (!leaf && key < k) break;
      if (!leaf) page = i16(tree, at);
    }
  }
  return std::nullopt;
}

// An internal file's contents, found through the directory as the viewer does.
inline std::optional<Bytes> internal_file(const Bytes& hlp, const std::string& name) {
  auto at = btree_find(Bytes(hlp.begin() + u32(hlp, 4) + 9, hlp.end()), name);
  if (!at) return std::nullopt;
  return Bytes(hlp.begin() + *at + 9, hlp.begin() + *at + 9 + u32(hlp, *at + 4));
}

// Follows the record chain of |TOPIC from the first block's first record. A
// topic header's offset is 0x8000 * its block + the text before it in the block.
inline std::map<std::uint32_t, std::string> titles_by_topic_offset(const Bytes& topic) {
  std::map<std::uint32_t, std::string> titles;
  std::uint32_t block = 0, characters = 0;
  for (std::uint32_t pos = u32(topic, 4), steps = 0; pos != kNone && steps < topic.size(); ++steps) {
    if (pos >> 14 != block) block = pos >> 14, characters = 0;
    const std::size_t at = block * 4096 + (pos & 0x3FFF);
    if (topic.at(at + 20) == 0x02) read_key(topic, at + u32(topic, at + 16), titles[block * 0x8000 + characters]);
    if (topic.at(at + 20) == 0x20) characters += u32(topic, at + 4);
    pos = u32(topic, at + 12);
  }
  return titles;
}

}  // namespace lookup
