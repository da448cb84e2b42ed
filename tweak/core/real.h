// A floating-point constant that can be a template argument in every compiler the library is
// built with: clang 14 takes no double as a template argument, but a class holding its bits. It
// converts both ways in constant expressions, so a table writes `Real{0.5}` (or a plain number
// where the parameter is a Real) and a replacement reads a double, folded by the compiler.
#pragma once

#include <bit>
#include <cstdint>

namespace vorla::core {

struct Real {
  std::uint64_t bits;

  constexpr Real(double value) : bits(std::bit_cast<std::uint64_t>(value)) {}
  constexpr operator double() const { return std::bit_cast<double>(bits); }
};

}  // namespace vorla::core
