#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "standin/plist/plist_value.h"

namespace vorla::plist::detail {

// A whole "bplist00" file, header and trailer included.
std::optional<Value> parseBinaryPlist(std::span<const std::uint8_t> bytes);

}  // namespace vorla::plist::detail
