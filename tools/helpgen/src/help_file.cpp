#include "help_file.h"

#include <map>
#include <stdexcept>

#include "container.h"
#include "context_files.h"
#include "context_hash.h"
#include "fonts.h"
#include "system_file.h"
#include "topic_file.h"
#include "topic_numbers.h"

namespace helpgen {

Bytes build_help_file(const std::vector<Topic>& topics, const std::string& title) {
  if (topics.empty()) throw std::runtime_error("no topics");

  check_topic_numbers(topics);
  // Jumps find their topic by the hash of its context name, so no two names may hash alike.
  std::map<std::int32_t, const Topic*> by_hash;
  for (const Topic& t : topics) {
    std::int32_t h = context_hash(context_name(t.context));
    if (!by_hash.emplace(h, &t).second)
      throw std::runtime_error(t.source + ": the context name hashes like that of " + by_hash[h]->source);
  }

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
