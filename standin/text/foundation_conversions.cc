#include "standin/text/foundation_conversions.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>

#include "standin/text/ascii.h"

namespace vorla::text {
namespace {

constexpr long long kMax = std::numeric_limits<long long>::max();
constexpr long long kMin = std::numeric_limits<long long>::min();

struct ScannedNumber {
  double value;
  std::size_t length;  // 0 when the text does not start with a number
};

// An exponent this large already decides the outcome; capping it keeps the sums below exact.
constexpr long long kExponentCap = 1'000'000'000'000'000LL;

// from_chars reports an out-of-range decimal without a value. Such a number is either above
// the largest double or below the smallest subnormal, so the decimal order of its first
// significant digit is enough to tell which way it fell.
bool exceedsDoubleRange(std::string_view number) {
  std::size_t i = 0;
  long long order = 0;
  bool significant = false;
  for (; i < number.size() && ascii::isDigit(number[i]); ++i) {
    if (significant || number[i] != '0') {
      significant = true;
      ++order;
    }
  }
  if (i < number.size() && number[i] == '.') {
    for (++i; i < number.size() && ascii::isDigit(number[i]) && !significant; ++i) {
      if (number[i] == '0') {
        --order;
      } else {
        significant = true;
      }
    }
    while (i < number.size() && ascii::isDigit(number[i])) ++i;
  }
  long long exponent = 0;
  if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) negative = number[i++] == '-';
    for (; i < number.size() && ascii::isDigit(number[i]); ++i) {
      exponent = exponent < kExponentCap ? exponent * 10 + (number[i] - '0') : kExponentCap;
    }
    if (negative) exponent = -exponent;
  }
  return order + exponent > 0;
}

// Expects text to start where the number would; the sign is taken here because from_chars
// accepts only '-', and only once.
ScannedNumber scanNumber(std::string_view text) {
  std::size_t signLength = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    signLength = 1;
  }
  const std::string_view body = text.substr(signLength);
  if (body.empty() || body[0] == '+' || body[0] == '-') return {0.0, 0};

  double value = 0.0;
  const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
  if (error == std::errc::invalid_argument) return {0.0, 0};
  const auto length = static_cast<std::size_t>(end - body.data());
  if (error == std::errc::result_out_of_range) {
    value = exceedsDoubleRange(body.substr(0, length)) ? HUGE_VAL : 0.0;
  }
  return {negative ? -value : value, signLength + length};
}

}  // namespace

bool textBoolValue(std::string_view text) {
  text = ascii::trimLeadingSpace(text);
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  while (i < text.size() && text[i] == '0') ++i;
  if (i == text.size()) return false;
  const char c = text[i];
  return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

long long textLongLongValue(std::string_view text) {
  text = ascii::trimLeadingSpace(text);
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  // The magnitude is gathered unsigned so that LLONG_MIN, whose magnitude has no positive
  // counterpart, is reached without overflow.
  const unsigned long long limit =
      negative ? static_cast<unsigned long long>(kMax) + 1 : static_cast<unsigned long long>(kMax);
  unsigned long long magnitude = 0;
  for (; i < text.size() && ascii::isDigit(text[i]); ++i) {
    const auto digit = static_cast<unsigned long long>(text[i] - '0');
    magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
  }
  if (!negative) return static_cast<long long>(magnitude);
  return magnitude == limit ? kMin : -static_cast<long long>(magnitude);
}

double textDoubleValue(std::string_view text) {
  return scanNumber(ascii::trimLeadingSpace(text)).value;
}

std::optional<double> textNumber(std::string_view text) {
  text = ascii::trimSpace(text);
  const ScannedNumber scanned = scanNumber(text);
  if (scanned.length == 0 || scanned.length != text.size()) return std::nullopt;
  return scanned.value;
}

long long realLongLongValue(double value) {
  // 2^63 is exact as a double, so both bounds compare without rounding.
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (std::isnan(value)) return 0;
  if (value >= kTwoTo63) return kMax;
  if (value < -kTwoTo63) return kMin;
  return static_cast<long long>(value);
}

}  // namespace vorla::text
