// The 43 load-time constructors, in the order the loader runs them.
#pragma once

#include <span>

#include "tweak/core/hook_table.h"

namespace vorla::core {

std::span<const Constructor* const> loadSequence();

}  // namespace vorla::core
