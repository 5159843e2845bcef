#pragma once
// One paragraph as a displayable text record (record type 0x20) of |TOPIC.
//
// LinkData1 holds the record's text size and character count, the paragraph
// settings (spacing, indents, tab stops) and the formatting commands; LinkData2
// holds the text as NUL-ended strings. The viewer shows a string, then obeys the
// next command, and so on until the end command 0xFF.
#include <cstdint>
#include <functional>

#include "bytes.h"
#include "topic_source.h"

namespace helpgen {

struct TextRecord {
  Bytes data1;
  Bytes data2;
  unsigned characters = 0;  // what the record adds to topic offsets
};

// Gives the context hash that a jump to the topic with this number uses.
using JumpHash = std::function<std::int32_t(std::int32_t context)>;

TextRecord encode_paragraph(const Paragraph& p, const JumpHash& jump_hash);

}  // namespace helpgen
