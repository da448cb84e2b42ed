// A property-list integer. The formats hold more than a 64-bit type does: both hold unsigned
// 64-bit values, and the binary format has 16-byte integers. The value is kept whole, as 128-bit
// two's complement in two words, since 32-bit compilers have no 128-bit integer type.
#pragma once

#include <bit>
#include <cmath>
#include <compare>
#include <concepts>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace vorla::plist {

class Integer {
 public:
  constexpr Integer() = default;
  template <std::integral T>
  requires(!std::same_as<T, bool>) constexpr Integer(
      T value)  // NOLINT(google-explicit-constructor): every integer is one
      : high_(isBelowZero(value) ? ~std::uint64_t{0} : 0),
        low_(static_cast<std::uint64_t>(value)) {}

  static constexpr Integer fromWords(std::uint64_t high, std::uint64_t low) {
    Integer integer;
    integer.high_ = high;
    integer.low_ = low;
    return integer;
  }

  constexpr std::uint64_t high() const { return high_; }
  constexpr std::uint64_t low() const { return low_; }
  constexpr bool isNegative() const { return (high_ >> 63) != 0; }
  constexpr bool fitsInt64() const { return high_ == ((low_ >> 63) != 0 ? ~std::uint64_t{0} : 0); }

  // Two's complement negation; the most negative value is its own negation, as its magnitude
  // read unsigned.
  constexpr Integer negated() const {
    const std::uint64_t low = ~low_ + 1;
    return fromWords(~high_ + (low == 0 ? 1 : 0), low);
  }

  // Foundation's `longLongValue` of an integer: saturates at the 64-bit limits.
  constexpr long long saturatedLongLong() const {
    if (fitsInt64()) return static_cast<long long>(low_);
    return isNegative() ? std::numeric_limits<long long>::min()
                        : std::numeric_limits<long long>::max();
  }

  // The nearest double, as a conversion of a built-in integer type rounds.
  double toDouble() const {
    if (fitsInt64()) return static_cast<double>(static_cast<long long>(low_));
    const Integer magnitude = isNegative() ? negated() : *this;
    double value;
    if (magnitude.high_ == 0) {
      value = static_cast<double>(magnitude.low_);
    } else {
      // The top 64 bits with every bit below them folded into the last one round as the whole
      // value does: that bit lies below the rounding position and only breaks ties.
      const int shift = 64 - std::countl_zero(magnitude.high_);
      std::uint64_t top = magnitude.high_;
      std::uint64_t rest = magnitude.low_;
      if (shift < 64) {
        top = (magnitude.high_ << (64 - shift)) | (magnitude.low_ >> shift);
        rest = magnitude.low_ << (64 - shift);
      }
      value = std::ldexp(static_cast<double>(top | (rest != 0 ? 1 : 0)), shift);
    }
    return isNegative() ? -value : value;
  }

  friend constexpr bool operator==(const Integer&, const Integer&) = default;
  friend constexpr std::strong_ordering operator<=>(const Integer& a, const Integer& b) {
    if (a.high_ != b.high_) {
      return static_cast<std::int64_t>(a.high_) <=> static_cast<std::int64_t>(b.high_);
    }
    return a.low_ <=> b.low_;
  }

 private:
  template <std::integral T>
  static constexpr bool isBelowZero(T value) {
    if constexpr (std::is_signed_v<T>) {
      return value < 0;
    } else {
      return false;
    }
  }

  std::uint64_t high_ = 0;
  std::uint64_t low_ = 0;
};

}  // namespace vorla::plist
