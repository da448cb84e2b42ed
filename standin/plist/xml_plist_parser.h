#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "standin/plist/plist_value.h"

namespace vorla::plist::detail {

// A whole XML document whose root is <plist> holding exactly one value.
std::optional<Value> parseXmlPlist(std::span<const std::uint8_t> bytes);

}  // namespace vorla::plist::detail
