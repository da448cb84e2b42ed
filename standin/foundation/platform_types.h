// The platform's own scalar types, as its headers define them for the device's pointer width: a
// 32-bit process of this build is a 32-bit device.
#pragma once

#include <type_traits>

namespace vorla::standin {

inline constexpr bool kPointersAre64Bit = sizeof(void*) == 8;

// Colour components and other interface measures: single precision on 32-bit devices.
using CGFloat = std::conditional_t<kPointersAre64Bit, double, float>;

// As wide as a pointer; on 64-bit devices the runtime encodes it as a 64-bit integer ("q").
using NSInteger = std::conditional_t<kPointersAre64Bit, long long, int>;
using NSUInteger = std::make_unsigned_t<NSInteger>;

}  // namespace vorla::standin
