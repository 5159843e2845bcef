#pragma once
// |TOPIC: every topic as a chain of records laid out in 4 KiB blocks.
//
// Each block starts with three positions (the last record of the block before,
// the first record of this block, the last topic header before this block),
// followed by records that never cross into the next block; the rest of a
// block is zero. A record position (TOPICPOS) is 0x4000 * block + 12 + offset
// in the block's data; a topic offset (TOPICOFFSET) is 0x8000 * block + the
// characters of the text records before it in that block. Records are chained
// both ways; a topic is a topic header record followed by its text records.
#include <cstdint>
#include <vector>

#include "bytes.h"
#include "paragraph_record.h"
#include "topic_source.h"

namespace helpgen {

constexpr std::size_t kTopicBlockSize = 4096;
constexpr std::size_t kTopicBlockHeader = 12;
constexpr std::size_t kTopicLinkHeader = 21;

struct TopicFile {
  Bytes data;
  std::vector<std::uint32_t> topic_offsets;  // one per topic, in input order
};

// Each topic's title becomes its first paragraph as well as its header title.
TopicFile build_topic_file(const std::vector<Topic>& topics, const JumpHash& jump_hash);

}  // namespace helpgen
