#pragma once
// Reads a Windows Help 3.1 file back the way the viewer does, for the tests.
// Written apart from the generator: it shares no code with it, so that a
// mistake in the writer shows up as a disagreement here.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace hlpread {

using Bytes = std::vector<std::uint8_t>;

struct BTreeHeader {
  std::uint16_t magic = 0, flags = 0, page_size = 0;
  std::string structure;
  int root = 0, pages = 0, levels = 0;
  std::int32_t entries = 0;
};

struct DirectoryEntry {
  std::string name;
  std::uint32_t offset;
};

struct BlockHeader {
  std::uint32_t last_link, first_link, last_header;
};

struct Link {
  std::uint32_t pos;  // TOPICPOS
  std::uint32_t size, data_len2, prev, next, data_len1;
  std::uint8_t type;
};

struct Jump {
  std::string text;
  std::int32_t hash;
};

struct Paragraph {
  std::string text;  // line breaks as '\n', tabs as '\t'
  std::vector<unsigned> fonts;
  std::vector<Jump> jumps;
};

struct Topic {
  std::uint32_t pos = 0;     // TOPICPOS of its header
  std::uint32_t offset = 0;  // TOPICOFFSET as the viewer counts it
  std::string title;
  std::uint32_t browse_back = 0, browse_forward = 0, number = 0, scroll = 0, next_topic = 0;
  std::vector<Paragraph> paragraphs;
  std::string text() const;  // all paragraphs, each ended by '\n'
};

std::int32_t viewer_hash(const std::string& context_name);

// |CONTEXT on its own: all leaf entries in order, and the viewer's search.
struct ContextTree {
  BTreeHeader header;
  std::vector<std::pair<std::int32_t, std::uint32_t>> leaves;
};
ContextTree read_context_tree(const Bytes& contents);
std::optional<std::uint32_t> find_in_context_tree(const Bytes& contents, std::int32_t hash);

// Throws std::runtime_error when the file breaks a rule the viewer relies on.
class HelpFile {
 public:
  explicit HelpFile(Bytes bytes);
  static HelpFile load(const std::string& path);

  std::uint32_t magic = 0, directory_start = 0, free_list = 0, file_size = 0;
  BTreeHeader directory_tree;
  std::vector<DirectoryEntry> directory;  // in leaf order

  std::uint16_t system_magic = 0, minor = 0, major = 0, flags = 0;
  std::string title;

  std::vector<std::string> faces;
  unsigned font_count = 0;

  std::vector<BlockHeader> blocks;
  std::vector<Link> links;  // in chain order
  std::vector<Topic> topics;

  BTreeHeader context_tree;
  std::vector<std::pair<std::int32_t, std::uint32_t>> context_leaves;  // in leaf order
  std::vector<std::pair<std::int32_t, std::uint32_t>> context_map;     // as stored

  // The contents of an internal file (after its 9-byte header), found by
  // searching the directory tree as the viewer does.
  std::optional<Bytes> internal(const std::string& name) const;
  // The topic whose offset is the largest not above `offset`.
  const Topic* topic_at(std::uint32_t offset) const;
  const Topic* topic_by_number(std::int32_t number) const;
  const Topic* topic_by_context_name(const std::string& name) const;

 private:
  Bytes bytes_;
  void read_system();
  void read_font();
  void read_topics();
  void read_contexts();
};

}  // namespace hlpread
