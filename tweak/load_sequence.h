// The 43 load-time constructors, in the order the loader runs them: the one place that knows
// every feature. A constructor's number is its position in this list, counted from 1.
#pragma once

#include <span>

#include "tweak/core/hook_table.h"

namespace vorla {

std::span<const core::Constructor* const> loadSequence();

}  // namespace vorla
