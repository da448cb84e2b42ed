#include "standin/plist/unique_keys.h"

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <vector>

namespace vorla::plist::detail {

void keepLastValuePerKey(Dictionary& entries) {
  if (entries.size() < 2) return;
  std::vector<std::size_t> order(entries.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return entries[a].first < entries[b].first;
  });

  std::vector<bool> dropped(entries.size());
  bool anyDropped = false;
  for (std::size_t first = 0, end = 0; first < order.size(); first = end) {
    end = first + 1;
    while (end < order.size() && entries[order[end]].first == entries[order[first]].first) {
      dropped[order[end]] = true;
      ++end;
    }
    if (end - first > 1) {
      entries[order[first]].second = std::move(entries[order[end - 1]].second);
      anyDropped = true;
    }
  }
  if (!anyDropped) return;

  std::size_t kept = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (dropped[i]) continue;
    if (kept != i) entries[kept] = std::move(entries[i]);
    ++kept;
  }
  entries.resize(kept);
}

}  // namespace vorla::plist::detail
