#include "topic_file.h"

#include <stdexcept>

namespace helpgen {
namespace {

constexpr std::uint8_t kTopicHeaderRecord = 0x02;
constexpr std::uint8_t kTextRecord = 0x20;
constexpr std::size_t kTopicHeaderData1 = 28;
constexpr std::size_t kBlockData = kTopicBlockSize - kTopicBlockHeader;
constexpr std::uint32_t kNone = 0xFFFFFFFF;

struct Record {
  std::uint8_t type;
  std::size_t topic;
  Bytes data1;  // topic headers: filled in once all positions are known
  Bytes data2;
  unsigned characters;
  // Layout.
  std::size_t block = 0;
  std::size_t offset = 0;
  std::uint32_t pos = 0;

  std::size_t size() const {
    return kTopicLinkHeader + (type == kTopicHeaderRecord ? kTopicHeaderData1 : data1.size()) + data2.size();
  }
};

std::uint32_t position(std::size_t block, std::size_t offset) {
  return static_cast<std::uint32_t>(block * 0x4000 + kTopicBlockHeader + offset);
}

}  // namespace

TopicFile build_topic_file(const std::vector<Topic>& topics, const JumpHash& jump_hash) {
  std::vector<Record> records;
  for (std::size_t t = 0; t < topics.size(); ++t) {
    ByteWriter title;
    title.zstring(topics[t].title);
    records.push_back({kTopicHeaderRecord, t, {}, title.take(), 0});

    Paragraph heading;
    heading.style = Style::Title;
    heading.pieces.push_back({Piece::Kind::Text, topics[t].title, 0});
    std::vector<const Paragraph*> paragraphs{&heading};
    for (const Paragraph& p : topics[t].paragraphs) paragraphs.push_back(&p);
    for (const Paragraph* p : paragraphs) {
      TextRecord r = encode_paragraph(*p, jump_hash);
      records.push_back({kTextRecord, t, std::move(r.data1), std::move(r.data2), r.characters});
    }
  }

  // Place the records; one that does not fit in what is left of a block starts the next.
  TopicFile result;
  std::size_t block = 0, offset = 0, characters = 0;
  for (Record& r : records) {
    if (r.size() > kBlockData)
      throw std::length_error(topics[r.topic].source + ": a paragraph is too long for one block");
    if (offset + r.size() > kBlockData) {
      ++block;
      offset = 0;
      characters = 0;
    }
    r.block = block;
    r.offset = offset;
    r.pos = position(block, offset);
    if (r.type == kTopicHeaderRecord)
      result.topic_offsets.push_back(static_cast<std::uint32_t>(block * 0x8000 + characters));
    offset += r.size();
    characters += r.characters;
  }
  const std::size_t blocks = block + 1;

  // Topic headers: size of the topic, browse sequence in input order, where
  // its text starts and where the next topic starts.
  std::vector<std::size_t> header_index;
  for (std::size_t i = 0; i < records.size(); ++i)
    if (records[i].type == kTopicHeaderRecord) header_index.push_back(i);
  for (std::size_t t = 0; t < header_index.size(); ++t) {
    std::size_t first = header_index[t];
    std::size_t end = t + 1 < header_index.size() ? header_index[t + 1] : records.size();
    std::size_t topic_size = 0;
    for (std::size_t i = first; i < end; ++i) topic_size += records[i].size();
    ByteWriter h;
    h.u32(static_cast<std::uint32_t>(topic_size));
    h.u32(t > 0 ? result.topic_offsets[t - 1] : kNone);
    h.u32(t + 1 < header_index.size() ? result.topic_offsets[t + 1] : kNone);
    h.u32(static_cast<std::uint32_t>(t));
    h.u32(kNone);  // no non-scrolling region
    h.u32(first + 1 < end ? records[first + 1].pos : kNone);
    h.u32(t + 1 < header_index.size() ? records[end].pos : kNone);
    records[first].data1 = h.take();
  }

  ByteWriter out;
  std::size_t next = 0;
  std::uint32_t last_header = kNone;
  for (std::size_t b = 0; b < blocks; ++b) {
    const std::size_t start = out.size();
    out.u32(next > 0 ? records[next - 1].pos : kNone);
    out.u32(records[next].pos);
    out.u32(last_header);
    for (; next < records.size() && records[next].block == b; ++next) {
      const Record& r = records[next];
      out.u32(static_cast<std::uint32_t>(r.size()));
      out.u32(static_cast<std::uint32_t>(r.data2.size()));
      out.u32(next > 0 ? records[next - 1].pos : kNone);
      out.u32(next + 1 < records.size() ? records[next + 1].pos : kNone);
      out.u32(static_cast<std::uint32_t>(kTopicLinkHeader + r.data1.size()));
      out.u8(r.type);
      out.append(r.data1);
      out.append(r.data2);
      if (r.type == kTopicHeaderRecord) last_header = r.pos;
    }
    out.zeros(start + kTopicBlockSize - out.size());
  }
  result.data = out.take();
  return result;
}

}  // namespace helpgen
