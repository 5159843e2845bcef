#include "hlp_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>

namespace hlpread {
namespace {

[[noreturn]] void bad(const std::string& what) {
  throw std::runtime_error("bad help file: " + what);
}

class Cursor {
 public:
  Cursor(const Bytes& b, std::size_t at, std::size_t end) : b_(b), at_(at), end_(end) {
    if (end > b.size() || at > end) bad("range outside the file");
  }
  std::uint8_t u8() {
    need(1);
    return b_[at_++];
  }
  std::uint16_t u16() {
    unsigned lo = u8();
    return static_cast<std::uint16_t>(lo | (u8() << 8));
  }
  std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
  std::uint32_t u32() {
    std::uint32_t lo = u16();
    return lo | (static_cast<std::uint32_t>(u16()) << 16);
  }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  std::string zstring() {
    std::string s;
    for (std::uint8_t c = u8(); c != 0; c = u8()) s += static_cast<char>(c);
    return s;
  }
  // The variable-length numbers of paragraph records.
  unsigned cushort() { return peek_odd() ? u16() / 2u : u8() / 2u; }
  int cshort() { return peek_odd() ? static_cast<int>(u16()) / 2 - 0x4000 : static_cast<int>(u8()) / 2 - 0x40; }
  std::int32_t clong() {
    return peek_odd() ? static_cast<std::int32_t>(u32() / 2) - 0x40000000
                      : static_cast<std::int32_t>(u16() / 2) - 0x4000;
  }
  void skip(std::size_t n) {
    need(n);
    at_ += n;
  }
  std::size_t at() const { return at_; }
  bool done() const { return at_ >= end_; }

 private:
  bool peek_odd() {
    need(1);
    return b_[at_] & 1;
  }
  void need(std::size_t n) const {
    if (at_ + n > end_) bad("read past the end of a structure");
  }
  const Bytes& b_;
  std::size_t at_, end_;
};

BTreeHeader read_btree_header(const Bytes& b, std::size_t at) {
  Cursor c(b, at, b.size());
  BTreeHeader h;
  h.magic = c.u16();
  h.flags = c.u16();
  h.page_size = c.u16();
  for (int i = 0; i < 16; ++i) {
    char ch = static_cast<char>(c.u8());
    if (ch) h.structure += ch;
  }
  if (c.i16() != 0) bad("B+ tree: must-be-zero field");
  c.i16();  // page splits
  h.root = c.i16();
  if (c.i16() != -1) bad("B+ tree: must-be-minus-one field");
  h.pages = c.i16();
  h.levels = c.i16();
  h.entries = c.i32();
  if (h.magic != 0x293B) bad("B+ tree magic");
  if (h.root < 0 || h.root >= h.pages || h.levels < 1) bad("B+ tree root or levels");
  return h;
}

std::size_t page_at(const BTreeHeader& h, std::size_t tree, int page) {
  if (page < 0 || page >= h.pages) bad("B+ tree page number " + std::to_string(page));
  return tree + 38 + static_cast<std::size_t>(page) * h.page_size;
}

// Every leaf entry in order, following the first leaf's chain.
void walk_leaves(const Bytes& b, std::size_t tree, const BTreeHeader& h, const std::function<void(Cursor&)>& entry,
                 const std::function<void(Cursor&)>& index_key) {
  int page = h.root;
  for (int level = h.levels; level > 1; --level) {
    Cursor c(b, page_at(h, tree, page), page_at(h, tree, page) + h.page_size);
    c.u16();
    int n = c.i16();
    page = c.i16();
    for (int i = 0; i < n; ++i) {  // checks the entries can be read
      index_key(c);
      c.i16();
    }
  }
  int previous = -1;
  for (int seen = 0; page != -1; ++seen) {
    if (seen > h.pages) bad("B+ tree leaf chain loops");
    std::size_t start = page_at(h, tree, page);
    Cursor c(b, start, start + h.page_size);
    unsigned unused = c.u16();
    int n = c.i16();
    if (c.i16() != previous) bad("B+ tree leaf back link");
    int next = c.i16();
    for (int i = 0; i < n; ++i) entry(c);
    if (start + h.page_size - c.at() != unused) bad("B+ tree free byte count");
    previous = page;
    page = next;
  }
}

// The viewer's search: index pages lead to the page of the last key not
// above the target; the leaf is scanned until a key is found or passed.
template <typename Compare, typename Skip>
std::optional<std::size_t> search(const Bytes& b, std::size_t tree, const BTreeHeader& h, Compare compare,
                                  Skip skip_leaf_value) {
  int page = h.root;
  for (int level = h.levels; level > 1; --level) {
    Cursor c(b, page_at(h, tree, page), page_at(h, tree, page) + h.page_size);
    c.u16();
    int n = c.i16();
    int chosen = c.i16();
    for (int i = 0; i < n; ++i) {
      if (compare(c) > 0) break;
      chosen = c.i16();
    }
    page = chosen;
  }
  Cursor c(b, page_at(h, tree, page), page_at(h, tree, page) + h.page_size);
  c.u16();
  int n = c.i16();
  c.skip(4);
  for (int i = 0; i < n; ++i) {
    std::size_t entry = c.at();
    int r = compare(c);
    if (r == 0) return entry;
    if (r > 0) return std::nullopt;
    skip_leaf_value(c);
  }
  return std::nullopt;
}

}  // namespace

std::int32_t viewer_hash(const std::string& name) {
  std::uint32_t h = 0;
  for (char c : name) {
    unsigned x = 0;
    if (c >= 'A' && c <= 'Z') x = static_cast<unsigned>(c - 'A' + 17);
    if (c >= 'a' && c <= 'z') x = static_cast<unsigned>(c - 'a' + 17);
    if (c >= '1' && c <= '9') x = static_cast<unsigned>(c - '0');
    if (c == '0') x = 10;
    if (c == '.') x = 12;
    if (c == '_') x = 13;
    if (x) h = h * 43 + x;
  }
  return static_cast<std::int32_t>(h);
}

std::string Topic::text() const {
  std::string all;
  for (const Paragraph& p : paragraphs) all += p.text + "\n";
  return all;
}

HelpFile HelpFile::load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot be read");
  return HelpFile(Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

HelpFile::HelpFile(Bytes bytes) : bytes_(std::move(bytes)) {
  Cursor c(bytes_, 0, bytes_.size());
  magic = c.u32();
  directory_start = c.u32();
  free_list = c.u32();
  file_size = c.u32();
  if (magic != 0x00035F3F) bad("magic");
  if (file_size != bytes_.size()) bad("file size in the header");

  std::size_t tree = directory_start + 9;
  directory_tree = read_btree_header(bytes_, tree);
  walk_leaves(
      bytes_, tree, directory_tree,
      [this](Cursor& e) {
        std::string name = e.zstring();
        directory.push_back({name, e.u32()});
      },
      [](Cursor& k) { k.zstring(); });

  read_system();
  read_font();
  read_topics();
  read_contexts();
}

std::optional<Bytes> HelpFile::internal(const std::string& name) const {
  std::size_t tree = directory_start + 9;
  auto found = search(
      bytes_, tree, directory_tree,
      [&name](Cursor& k) {
        std::string key = k.zstring();
        return std::strcmp(key.c_str(), name.c_str());
      },
      [](Cursor& v) { v.u32(); });
  if (!found) return std::nullopt;
  Cursor e(bytes_, *found, bytes_.size());
  e.zstring();
  std::uint32_t offset = e.u32();
  Cursor f(bytes_, offset, bytes_.size());
  std::uint32_t reserved = f.u32();
  std::uint32_t used = f.u32();
  f.u8();
  if (reserved < used + 9) bad(name + ": reserved space below used space");
  if (offset + reserved > bytes_.size()) bad(name + " does not fit in the file");
  return Bytes(bytes_.begin() + offset + 9, bytes_.begin() + offset + 9 + used);
}

void HelpFile::read_system() {
  auto sys = internal("|SYSTEM");
  if (!sys) bad("no |SYSTEM");
  Cursor c(*sys, 0, sys->size());
  system_magic = c.u16();
  minor = c.u16();
  major = c.u16();
  c.u32();
  flags = c.u16();
  if (system_magic != 0x036C || major != 1) bad("|SYSTEM header");
  while (!c.done()) {
    unsigned type = c.u16();
    unsigned size = c.u16();
    std::size_t start = c.at();
    if (type == 1) title = c.zstring();
    c.skip(start + size - c.at());
  }
}

void HelpFile::read_font() {
  auto font = internal("|FONT");
  if (!font) bad("no |FONT");
  Cursor c(*font, 0, font->size());
  unsigned face_count = c.u16();
  font_count = c.u16();
  unsigned face_offset = c.u16();
  unsigned descriptor_offset = c.u16();
  if (face_count == 0 || descriptor_offset < face_offset) bad("|FONT header");
  unsigned width = (descriptor_offset - face_offset) / face_count;
  for (unsigned i = 0; i < face_count; ++i) {
    Cursor f(*font, face_offset + i * width, face_offset + (i + 1) * width);
    std::string face;
    while (!f.done()) {
      char ch = static_cast<char>(f.u8());
      if (!ch) break;
      face += ch;
    }
    faces.push_back(face);
  }
  Cursor d(*font, descriptor_offset, font->size());
  for (unsigned i = 0; i < font_count; ++i) {
    d.skip(3);
    if (d.u16() >= face_count) bad("|FONT: face index");
    d.skip(6);
  }
}

void HelpFile::read_topics() {
  auto topic_file = internal("|TOPIC");
  if (!topic_file) bad("no |TOPIC");
  if (minor <= 16 || flags != 0) bad("expected an uncompressed 3.1 file");
  const std::size_t block_size = 4096, data_size = block_size - 12;
  const std::size_t block_count = (topic_file->size() + block_size - 1) / block_size;

  // As the viewer does: the data parts of all blocks, one after the other.
  Bytes data;
  for (std::size_t b = 0; b < block_count; ++b) {
    Cursor h(*topic_file, b * block_size, topic_file->size());
    BlockHeader bh{h.u32(), h.u32(), h.u32()};
    blocks.push_back(bh);
    std::size_t from = b * block_size + 12;
    std::size_t to = std::min(from + data_size, topic_file->size());
    data.insert(data.end(), topic_file->begin() + from, topic_file->begin() + to);
    data.resize((b + 1) * data_size, 0);
  }

  std::uint32_t pos = 12;
  std::size_t last_block = SIZE_MAX, offs = 0;
  for (std::size_t guard = 0; pos != 0xFFFFFFFF; ++guard) {
    if (guard > data.size()) bad("record chain loops");
    std::size_t block = (pos - 12) >> 14, offset = (pos - 12) & 0x3FFF;
    if (pos < 12 || block >= block_count || offset >= data_size) bad("record position " + std::to_string(pos));
    if (block != last_block) {
      offs = 0;
      last_block = block;
    }
    std::size_t at = block * data_size + offset;
    Cursor c(data, at, data.size());
    Link l{pos, c.u32(), c.u32(), c.u32(), c.u32(), c.u32(), c.u8()};
    if (l.data_len1 < 21 || l.data_len1 > l.size || l.size - l.data_len1 != l.data_len2) bad("record sizes");
    links.push_back(l);
    Cursor d1(data, at + 21, at + l.data_len1);
    Cursor d2(data, at + l.data_len1, at + l.size);
    if (l.type == 0x02) {
      Topic t;
      t.pos = pos;
      t.offset = static_cast<std::uint32_t>(block * 0x8000 + offs);
      d1.u32();
      t.browse_back = d1.u32();
      t.browse_forward = d1.u32();
      t.number = d1.u32();
      d1.u32();
      t.scroll = d1.u32();
      t.next_topic = d1.u32();
      t.title = d2.zstring();
      topics.push_back(t);
    } else if (l.type == 0x20) {
      if (topics.empty()) bad("text before the first topic header");
      d1.clong();
      offs += d1.cushort();
      d1.skip(4);
      unsigned bits = d1.u16();
      if (bits & 0x0001) d1.clong();
      for (unsigned bit : {0x02u, 0x04u, 0x08u, 0x10u, 0x20u, 0x40u})
        if (bits & bit) d1.cshort();
      if (bits & 0x0100) d1.skip(3);
      if (bits & 0x0200) {
        int stops = d1.cshort();
        for (int i = 0; i < stops; ++i)
          if (d1.cushort() & 0x4000) d1.cushort();
      }
      Paragraph p;
      bool in_jump = false;
      for (;;) {
        std::string s = d2.zstring();
        p.text += s;
        if (in_jump) p.jumps.back().text += s;
        std::uint8_t cmd = d1.u8();
        if (cmd == 0xFF) break;
        switch (cmd) {
          case 0x80:
            p.fonts.push_back(d1.u16());
            break;
          case 0x81:
            p.text += '\n';
            break;
          case 0x82:
            break;
          case 0x83:
            p.text += '\t';
            break;
          case 0x89:
            if (!in_jump) bad("end of a jump that was not started");
            in_jump = false;
            break;
          case 0xE3:
            if (in_jump) bad("jump inside a jump");
            p.jumps.push_back({"", d1.i32()});
            in_jump = true;
            break;
          default:
            bad("unexpected formatting command " + std::to_string(cmd));
        }
      }
      if (in_jump) bad("jump not ended");
      if (!d1.done() || !d2.done()) bad("record has bytes after its end command");
      topics.back().paragraphs.push_back(p);
    } else {
      bad("record type " + std::to_string(l.type));
    }
    pos = l.next;
  }
}

void HelpFile::read_contexts() {
  auto tree_file = internal("|CONTEXT");
  if (!tree_file) bad("no |CONTEXT");
  ContextTree tree = read_context_tree(*tree_file);
  context_tree = tree.header;
  context_leaves = tree.leaves;

  auto map = internal("|CTXOMAP");
  if (!map) bad("no |CTXOMAP");
  Cursor c(*map, 0, map->size());
  unsigned n = c.u16();
  for (unsigned i = 0; i < n; ++i) {
    std::int32_t number = c.i32();
    context_map.emplace_back(number, c.u32());
  }
  if (!c.done()) bad("|CTXOMAP longer than its entries");
}

const Topic* HelpFile::topic_at(std::uint32_t offset) const {
  const Topic* found = nullptr;
  for (const Topic& t : topics)
    if (t.offset <= offset && (!found || found->offset < t.offset)) found = &t;
  return found;
}

const Topic* HelpFile::topic_by_number(std::int32_t number) const {
  for (const auto& [n, offset] : context_map)
    if (n == number) return topic_at(offset);
  return nullptr;
}

const Topic* HelpFile::topic_by_context_name(const std::string& name) const {
  auto offset = find_in_context_tree(*internal("|CONTEXT"), viewer_hash(name));
  return offset ? topic_at(*offset) : nullptr;
}

ContextTree read_context_tree(const Bytes& contents) {
  ContextTree tree;
  tree.header = read_btree_header(contents, 0);
  walk_leaves(
      contents, 0, tree.header,
      [&tree](Cursor& e) {
        std::int32_t h = e.i32();
        tree.leaves.emplace_back(h, e.u32());
      },
      [](Cursor& k) { k.i32(); });
  return tree;
}

std::optional<std::uint32_t> find_in_context_tree(const Bytes& contents, std::int32_t hash) {
  BTreeHeader header = read_btree_header(contents, 0);
  auto found = search(
      contents, 0, header,
      [hash](Cursor& k) {
        std::int32_t h = k.i32();
        return h < hash ? -1 : h > hash ? 1 : 0;
      },
      [](Cursor& v) { v.u32(); });
  if (!found) return std::nullopt;
  Cursor e(contents, *found + 4, contents.size());
  return e.u32();
}

}  // namespace hlpread
