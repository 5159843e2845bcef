#pragma once
// One help topic as written in a plain-text source file.
//
// A source starts with header lines ("context: 100", "title: ...") ended by a
// blank line; blocks separated by blank lines follow:
//   # Heading              a sub-heading
//   - item / 1. step       list entries, one per marker line
//     indented lines       (two spaces) a block shown line by line in a fixed font
//   anything else          a paragraph; its lines are joined with blanks
// In paragraphs, headings and list entries, [shown text](200) jumps to the
// topic with context number 200.
#include <cstdint>
#include <string>
#include <vector>

namespace helpgen {

struct Piece {
  enum class Kind { Text, Jump, LineBreak };
  Kind kind = Kind::Text;
  std::string text;
  std::int32_t target = 0;  // context number of a jump
};

enum class Style { Title, Body, Heading, Item, Code };

struct Paragraph {
  Style style = Style::Body;
  std::string marker;  // list entries: the bullet or the step number
  std::vector<Piece> pieces;
};

struct Topic {
  std::int32_t context = 0;
  std::string title;
  std::vector<Paragraph> paragraphs;
  std::string source;  // where it was read from, for messages
};

// Throws std::runtime_error naming the source and line on any malformed input.
Topic parse_topic(const std::string& text, const std::string& source);
Topic read_topic_file(const std::string& path);

// The text of a paragraph without its formatting, line breaks as '\n'.
std::string plain_text(const Paragraph& p);

}  // namespace helpgen
