#pragma once

#include <optional>
#include <string_view>

// The readings Foundation gives to texts and numbers. Every function is total: any input,
// however long or malformed, has a defined result, and none depends on the process locale.
namespace vorla::text {

// True iff, after leading whitespace, an optional sign and any zeros, the next character is
// one of Y y T t or a digit 1-9. So "0.5" is false: the character after the zero is '.'.
bool textBoolValue(std::string_view text);

// Leading whitespace, optional sign, decimal digits up to the first non-digit; no digits give
// 0 and values beyond the 64-bit range saturate at its limits.
long long textLongLongValue(std::string_view text);

// Leading whitespace, then the longest prefix that is a decimal floating-point number
// (including inf, infinity and nan in any case); no number gives 0.0. Overflow gives
// ±HUGE_VAL and underflow ±0.0, as strtod would.
double textDoubleValue(std::string_view text);

// The strict reading: optional surrounding whitespace around exactly one number in the form
// textDoubleValue accepts, and nothing else.
std::optional<double> textNumber(std::string_view text);

// Truncates toward zero, saturating at the 64-bit limits; NaN gives 0.
long long realLongLongValue(double value);

}  // namespace vorla::text
