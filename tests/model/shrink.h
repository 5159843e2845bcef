#pragma once
// Delta debugging over a recorded sequence: drop ever smaller chunks, down to single items,
// keeping every removal after which the failure still shows.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

namespace kv::model {

// fails(candidate) runs the candidate from scratch and says how many items it used up to the
// failure, or nothing when it passes. Returns the shortest failing sequence found.
template <class T, class Fails>
std::vector<T> shrink(std::vector<T> items, Fails&& fails, int& runs) {
  std::size_t parts = 2;
  while (items.size() >= 2) {
    std::size_t chunk = (items.size() + parts - 1) / parts;
    bool reduced = false;
    for (std::size_t start = 0; start < items.size(); start += chunk) {
      std::vector<T> candidate(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(start));
      std::size_t end = std::min(items.size(), start + chunk);
      candidate.insert(candidate.end(), items.begin() + static_cast<std::ptrdiff_t>(end), items.end());
      ++runs;
      if (std::optional<std::size_t> used = fails(candidate)) {
        candidate.resize(std::min(candidate.size(), *used));
        items = std::move(candidate);
        parts = std::max<std::size_t>(parts - 1, 2);
        reduced = true;
        break;
      }
    }
    if (!reduced) {
      if (parts >= items.size()) break;
      parts = std::min(items.size(), parts * 2);
    }
  }
  if (items.size() == 1) {
    ++runs;
    if (fails(std::vector<T>{})) items.clear();
  }
  return items;
}

}  // namespace kv::model
