#pragma once

#include <cstddef>

#include "standin/plist/plist_reader.h"

namespace vorla::plist::detail {

// Counts what one parse has produced against the limits in plist_reader.h.
class ParseBudget {
 public:
  bool takeValue() {
    if (values_ == kMaxValues) return false;
    ++values_;
    return true;
  }
  bool hasValuesFor(std::size_t count) const { return count <= kMaxValues - values_; }
  bool takeBytes(std::size_t count) {
    if (count > kMaxPayloadBytes - bytes_) return false;
    bytes_ += count;
    return true;
  }

 private:
  std::size_t values_ = 0;
  std::size_t bytes_ = 0;
};

}  // namespace vorla::plist::detail
