#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vorla::plist::detail {

// Big-endian UTF-16 code units to UTF-8. An unpaired surrogate becomes U+FFFD; an odd
// trailing byte is ignored (callers pass whole code units).
std::string utf16BigEndianToUtf8(std::span<const std::uint8_t> bytes);

}  // namespace vorla::plist::detail
