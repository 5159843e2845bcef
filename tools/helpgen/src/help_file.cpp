#include "help_file.h"

#include <map>
#include <stdexcept>

#include "container.h"
#include "context_files.h"
#include "context_hash.h"
#include "fonts.h"
#include "system_file.h"
#include "topic_file.h"

namespace helpgen {

Bytes build_help_file(const std::vector<Topic>& topics, const std::string& title) {
  if (topics.empty()) throw std::runtime_error("no topics");

  std::map<std::int32_t, const Topic*> by_number;
  std::map<std::int32_t, const Topic*> by_hash;
  for (const Topic& t : topics) {
    if (!by_number.emplace(t.context, &t).second)
      throw std::runtime_error(t.source + ": context " + std::to_string(t.context) + " is also used by " +
                               by_number[t.context]->source);
    std::int32_t h = context_hash(context_name(t.context));
    if (!by_hash.emplace(h, &t).second)
      throw std::runtime_error(t.source + ": the context name hashes like that of " + by_hash[h]->source);
  }
  for (const Topic& t : topics)
    for (const Paragraph& p : t.paragraphs)
      for (const Piece& piece : p.pieces)
        if (piece.kind == Piece::Kind::Jump && by_number.count(piece.target) == 0)
          throw std::runtime_error(t.source + ": jump to context " + std::to_string(piece.target) +
                                   ", which no topic has");

  TopicFile topic_file =
      build_topic_file(topics, [](std::int32_t number) { return context_hash(context_name(number)); });

  std::vector<ContextEntry> contexts;
  for (std::size_t i = 0; i < topics.size(); ++i)
    contexts.push_back({topics[i].context, context_hash(context_name(topics[i].context)), topic_file.topic_offsets[i]});

  return build_container({
      {"|SYSTEM", build_system_file(title)},
      {"|FONT", build_font_file()},
      {"|TOPIC", std::move(topic_file.data)},
      {"|CONTEXT", build_context_file(contexts)},
      {"|CTXOMAP", build_context_map_file(contexts)},
  });
}

}  // namespace helpgen
