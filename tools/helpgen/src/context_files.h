#pragma once
// The two ways to find a topic: |CONTEXT, a B+ tree from context-name hashes
// to topic offsets (used by jumps and by the viewer's -i option), and
// |CTXOMAP, a table from context numbers to topic offsets (used by requests
// for a topic number, such as WinHelp with HELP_CONTEXT).
#include <cstdint>
#include <vector>

#include "bytes.h"

namespace helpgen {

struct ContextEntry {
  std::int32_t number;
  std::int32_t hash;
  std::uint32_t topic_offset;
};

constexpr std::uint16_t kContextPageSize = 0x0800;

Bytes build_context_file(std::vector<ContextEntry> entries, std::uint16_t page_size = kContextPageSize);
Bytes build_context_map_file(std::vector<ContextEntry> entries);

}  // namespace helpgen
