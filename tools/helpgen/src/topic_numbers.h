#pragma once
// What every output needs of the topics' context numbers: each names one
// topic, and every jump leads to one of them.
#include <vector>

#include "topic_source.h"

namespace helpgen {

// Throws std::runtime_error naming the source for a context number used by
// two topics and for a jump to a number no topic has.
void check_topic_numbers(const std::vector<Topic>& topics);

}  // namespace helpgen
