#include "topic_numbers.h"

#include <map>
#include <stdexcept>

namespace helpgen {

void check_topic_numbers(const std::vector<Topic>& topics) {
  std::map<std::int32_t, const Topic*> by_number;
  for (const Topic& t : topics)
    if (!by_number.emplace(t.context, &t).second)
      throw std::runtime_error(t.source + ": context " + std::to_string(t.context) + " is also used by " +
                               by_number[t.context]->source);
  for (const Topic& t : topics)
    for (const Paragraph& p : t.paragraphs)
      for (const Piece& piece : p.pieces)
        if (piece.kind == Piece::Kind::Jump && by_number.count(piece.target) == 0)
          throw std::runtime_error(t.source + ": jump to context " + std::to_string(piece.target) +
                                   ", which no topic has");
}

}  // namespace helpgen
