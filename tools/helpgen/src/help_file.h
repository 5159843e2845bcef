#pragma once
// A whole Windows Help 3.1 file from its topics.
#include <string>
#include <vector>

#include "bytes.h"
#include "topic_source.h"

namespace helpgen {

// Topics appear in the given order; the first is the one the viewer shows
// when no topic is asked for. Throws std::runtime_error for duplicate
// context numbers and for jumps to topics that do not exist.
Bytes build_help_file(const std::vector<Topic>& topics, const std::string& title);

}  // namespace helpgen
