#pragma once
// The same topics as one HTML page, for systems without a help viewer: the
// program then opens the page in the browser at the topic's anchor.
//
// Each topic is a <section id="topic-NUMBER"> headed by its title (<h2>);
// jumps are links to the anchor of their topic. The page is self-contained:
// one inline style sheet, no script, nothing loaded from elsewhere.
#include <cstdint>
#include <string>
#include <vector>

#include "topic_source.h"

namespace helpgen {

// The anchor of the topic with this context number, such as "topic-100".
std::string html_anchor(std::int32_t context);

// Topics appear in the given order under the title. Throws std::runtime_error
// for duplicate context numbers and for jumps to topics that do not exist.
std::string build_help_page(const std::vector<Topic>& topics, const std::string& title);

}  // namespace helpgen
