#include "topic_source.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace helpgen {
namespace {

// The help file is written in the Windows ANSI code page; the bullet of list
// entries is its character 0x95.
const char kBullet[] = "\x95";

struct Line {
  std::string text;
  int number;
};

[[noreturn]] void fail(const std::string& source, int line, const std::string& what) {
  throw std::runtime_error(source + ":" + std::to_string(line) + ": " + what);
}

std::string trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

bool starts_with(const std::string& s, const char* prefix) {
  return s.rfind(prefix, 0) == 0;
}

// Length of a list marker at the start of the line ("- " or "12. "), or 0.
std::size_t marker_length(const std::string& s) {
  if (starts_with(s, "- ")) return 2;
  std::size_t i = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
  if (i > 0 && i + 1 < s.size() && s[i] == '.' && s[i + 1] == ' ') return i + 2;
  return 0;
}

std::int32_t parse_number(const std::string& s, const std::string& source, int line) {
  if (s.empty() || s.size() > 10) fail(source, line, "expected a context number, got \"" + s + "\"");
  long long v = 0;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c)))
      fail(source, line, "expected a context number, got \"" + s + "\"");
    v = v * 10 + (c - '0');
  }
  if (v < 1 || v > 0x7FFFFFFF) fail(source, line, "context number out of range: " + s);
  return static_cast<std::int32_t>(v);
}

// Splits running text into plain pieces and [text](number) jumps.
void add_inline(std::vector<Piece>& out, const std::string& text, const std::string& source, int line) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t open = text.find('[', pos);
    if (open == std::string::npos) {
      out.push_back({Piece::Kind::Text, text.substr(pos), 0});
      return;
    }
    std::size_t close = text.find("](", open);
    std::size_t end = close == std::string::npos ? close : text.find(')', close);
    if (close == std::string::npos || end == std::string::npos)
      fail(source, line, "unfinished jump: " + text.substr(open));
    if (open > pos) out.push_back({Piece::Kind::Text, text.substr(pos, open - pos), 0});
    std::string shown = text.substr(open + 1, close - open - 1);
    if (shown.empty()) fail(source, line, "jump without text");
    out.push_back({Piece::Kind::Jump, shown, parse_number(text.substr(close + 2, end - close - 2), source, line)});
    pos = end + 1;
  }
}

Paragraph joined(Style style, const std::string& marker, const std::vector<Line>& lines, std::size_t first,
                 std::size_t last, std::size_t skip, const std::string& source) {
  std::string text;
  for (std::size_t i = first; i < last; ++i) {
    std::string part = trim(i == first ? lines[i].text.substr(skip) : lines[i].text);
    if (part.empty()) continue;
    if (!text.empty()) text += ' ';
    text += part;
  }
  if (text.empty()) fail(source, lines[first].number, "empty paragraph");
  Paragraph p;
  p.style = style;
  p.marker = marker;
  add_inline(p.pieces, text, source, lines[first].number);
  return p;
}

void add_block(Topic& topic, const std::vector<Line>& block, const std::string& source) {
  const std::string& head = block.front().text;
  if (starts_with(head, "  ")) {
    Paragraph p;
    p.style = Style::Code;
    for (const Line& l : block) {
      if (!starts_with(l.text, "  ")) fail(source, l.number, "every line of a fixed-font block starts with two blanks");
      if (!p.pieces.empty()) p.pieces.push_back({Piece::Kind::LineBreak, "", 0});
      p.pieces.push_back({Piece::Kind::Text, l.text.substr(2), 0});
    }
    topic.paragraphs.push_back(std::move(p));
  } else if (starts_with(head, "# ")) {
    topic.paragraphs.push_back(joined(Style::Heading, "", block, 0, block.size(), 2, source));
  } else if (marker_length(head) > 0) {
    std::size_t start = 0;
    for (std::size_t i = 1; i <= block.size(); ++i) {
      if (i < block.size() && marker_length(block[i].text) == 0) continue;
      const std::string& first = block[start].text;
      std::size_t len = marker_length(first);
      std::string marker = first[0] == '-' ? std::string(kBullet) : first.substr(0, len - 1);
      topic.paragraphs.push_back(joined(Style::Item, marker, block, start, i, len, source));
      start = i;
    }
  } else {
    topic.paragraphs.push_back(joined(Style::Body, "", block, 0, block.size(), 0, source));
  }
}

}  // namespace

Topic parse_topic(const std::string& text, const std::string& source) {
  std::vector<Line> lines;
  std::istringstream in(text);
  std::string raw;
  for (int number = 1; std::getline(in, raw); ++number) {
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    for (char c : raw) {
      auto u = static_cast<unsigned char>(c);
      if (u < 0x20 || u > 0x7E) fail(source, number, "only printable ASCII characters are allowed");
    }
    lines.push_back({raw, number});
  }

  Topic topic;
  topic.source = source;
  bool have_context = false;
  std::size_t i = 0;
  for (; i < lines.size() && !trim(lines[i].text).empty(); ++i) {
    const std::string& l = lines[i].text;
    std::size_t colon = l.find(':');
    if (colon == std::string::npos) fail(source, lines[i].number, "expected \"key: value\" in the header");
    std::string key = trim(l.substr(0, colon));
    std::string value = trim(l.substr(colon + 1));
    if (key == "context") {
      topic.context = parse_number(value, source, lines[i].number);
      have_context = true;
    } else if (key == "title") {
      if (value.empty()) fail(source, lines[i].number, "empty title");
      topic.title = value;
    } else {
      fail(source, lines[i].number, "unknown header key \"" + key + "\"");
    }
  }
  if (!have_context) fail(source, 1, "missing \"context:\" header");
  if (topic.title.empty()) fail(source, 1, "missing \"title:\" header");

  std::vector<Line> block;
  for (; i <= lines.size(); ++i) {
    if (i == lines.size() || trim(lines[i].text).empty()) {
      if (!block.empty()) add_block(topic, block, source);
      block.clear();
    } else {
      block.push_back(lines[i]);
    }
  }
  return topic;
}

Topic read_topic_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot be read");
  std::ostringstream all;
  all << in.rdbuf();
  return parse_topic(all.str(), path);
}

std::string plain_text(const Paragraph& p) {
  std::string out;
  for (const Piece& piece : p.pieces) out += piece.kind == Piece::Kind::LineBreak ? std::string("\n") : piece.text;
  return out;
}

}  // namespace helpgen
