// The runtime's types (id, SEL, Class, IMP, Method, BOOL) and the platform's scalar types for the
// code above host/, which names them but reaches the runtime only through host/'s routines.
#pragma once

#include <type_traits>

#include "tweak/host/runtime_api.h"

// The exported switches are one byte on every target, whatever type its ABI gives BOOL.
static_assert(sizeof(BOOL) == 1);

namespace vorla::host {

// The platform's scalar types, as its headers define them for the device's pointer width, so
// that one source serves 32-bit and 64-bit devices (docs/widths.md lists which method takes
// which). Colour components and interface measures: single precision on 32-bit devices.
using CGFloat = std::conditional_t<sizeof(void*) == 8, double, float>;
// As wide as a pointer; on 64-bit devices the runtime encodes it as a 64-bit integer.
using NSInteger = std::conditional_t<sizeof(void*) == 8, long long, int>;
using NSUInteger = std::make_unsigned_t<NSInteger>;

}  // namespace vorla::host
