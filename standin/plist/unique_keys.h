#pragma once

#include "standin/plist/plist_value.h"

namespace vorla::plist::detail {

// Folds repeated keys as Dictionary documents. Sorts instead of comparing every pair, so a
// hostile dictionary with many keys costs n log n comparisons, not n squared.
void keepLastValuePerKey(Dictionary& entries);

}  // namespace vorla::plist::detail
