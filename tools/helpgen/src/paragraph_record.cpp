#include "paragraph_record.h"

#include <stdexcept>
#include <string>

#include "fonts.h"

namespace helpgen {
namespace {

// Paragraph settings flags.
constexpr unsigned kSpaceAbove = 0x0002;
constexpr unsigned kSpaceBelow = 0x0004;
constexpr unsigned kLeftIndent = 0x0010;
constexpr unsigned kFirstIndent = 0x0040;
constexpr unsigned kTabStops = 0x0200;

// Formatting commands.
constexpr unsigned kFontChange = 0x80;
constexpr unsigned kLineBreak = 0x81;
constexpr unsigned kEndParagraph = 0x82;
constexpr unsigned kTab = 0x83;
constexpr unsigned kEndJump = 0x89;
constexpr unsigned kJumpToTopic = 0xE3;
constexpr unsigned kEndOfCommands = 0xFF;

// Distances in half points.
struct Layout {
  FontId font;
  int above, below, left, first;
};

Layout layout_of(Style s) {
  switch (s) {
    case Style::Title:
      return {kTitleFont, 0, 8, 0, 0};
    case Style::Body:
      return {kBodyFont, 12, 0, 0, 0};
    case Style::Heading:
      return {kHeadingFont, 20, 0, 0, 0};
    case Style::Item:
      return {kBodyFont, 6, 0, 44, -28};
    case Style::Code:
      return {kCodeFont, 12, 0, 20, 0};
  }
  throw std::logic_error("unknown paragraph style");
}

// Collects strings and the commands between them, one command after each string.
class Commands {
 public:
  void text(const std::string& s) { pending_ += s; }
  void command(unsigned code) {
    strings_.zstring(pending_);
    pending_.clear();
    commands_.u8(code);
  }
  ByteWriter& arguments() { return commands_; }
  const Bytes& strings() const { return strings_.bytes(); }
  const Bytes& commands() const { return commands_.bytes(); }

 private:
  std::string pending_;
  ByteWriter strings_;
  ByteWriter commands_;
};

}  // namespace

TextRecord encode_paragraph(const Paragraph& p, const JumpHash& jump_hash) {
  const Layout l = layout_of(p.style);

  Commands c;
  c.command(kFontChange);
  c.arguments().u16(l.font);
  if (p.style == Style::Item) {
    c.text(p.marker);
    c.command(kTab);
  }
  for (const Piece& piece : p.pieces) {
    switch (piece.kind) {
      case Piece::Kind::Text:
        c.text(piece.text);
        break;
      case Piece::Kind::Jump:
        c.command(kJumpToTopic);
        c.arguments().i32(jump_hash(piece.target));
        c.text(piece.text);
        c.command(kEndJump);
        break;
      case Piece::Kind::LineBreak:
        c.command(kLineBreak);
        break;
    }
  }
  c.command(kEndParagraph);
  c.command(kEndOfCommands);

  TextRecord r;
  r.data2 = c.strings();
  if (r.data2.size() >= 0x4000) throw std::length_error("paragraph too long");
  r.characters = static_cast<unsigned>(r.data2.size());

  unsigned bits = 0;
  if (l.above) bits |= kSpaceAbove;
  if (l.below) bits |= kSpaceBelow;
  if (l.left) bits |= kLeftIndent;
  if (l.first) bits |= kFirstIndent;
  if (p.style == Style::Item) bits |= kTabStops;

  ByteWriter d;
  d.clong(static_cast<std::int32_t>(r.data2.size()));
  d.cushort(r.characters);
  d.u8(0);
  d.u8(0x80);
  d.u16(0);
  d.u16(bits);
  if (l.above) d.cshort(l.above);
  if (l.below) d.cshort(l.below);
  if (l.left) d.cshort(l.left);
  if (l.first) d.cshort(l.first);
  if (p.style == Style::Item) {
    d.cshort(1);  // one tab stop, left-aligned, where the text of the entry starts
    d.cushort(static_cast<unsigned>(l.left));
  }
  d.append(c.commands());
  r.data1 = d.take();
  return r;
}

}  // namespace helpgen
