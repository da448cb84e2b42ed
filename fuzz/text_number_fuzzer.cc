// Foundation's readings of texts, and of numbers narrowed to 64 bits, on any input. Each reading
// is total; where two readings overlap they must agree.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "standin/plist/plist_integer.h"
#include "standin/text/foundation_conversions.h"

namespace {

using vorla::fuzz::require;
using namespace vorla::text;

constexpr long long kMax = std::numeric_limits<long long>::max();
constexpr long long kMin = std::numeric_limits<long long>::min();

bool sameNumber(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

void checkTextReadings(std::string_view text) {
  const bool on = textBoolValue(text);
  const long long integer = textLongLongValue(text);
  const double real = textDoubleValue(text);
  // A nonzero integer reading means a digit 1-9 follows the sign and zeros.
  if (integer != 0) require(on, "a nonzero integer reading reads as true");
  if (const auto number = textNumber(text)) {
    require(sameNumber(*number, real), "textNumber accepting implies textDoubleValue equals it");
    const auto padded = textNumber(" \t" + std::string(text) + "\n ");
    require(padded && sameNumber(*padded, *number), "surrounding whitespace changes nothing");
  }
}

// The real reading truncates toward zero and saturates; long double holds every 64-bit integer.
void checkRealReading(double value) {
  const long long reading = realLongLongValue(value);
  if (std::isnan(value)) {
    require(reading == 0, "NaN reads as 0");
  } else if (value >= 0x1p63) {
    require(reading == kMax, "a real above the range saturates");
  } else if (value <= -0x1p63) {
    require(reading == kMin, "a real below the range saturates");
  } else {
    const long double gap = static_cast<long double>(value) - static_cast<long double>(reading);
    require(std::fabs(gap) < 1 && (reading == 0 || (reading > 0) == (value > 0)),
            "a real within the range truncates toward zero");
  }
}

void checkIntegerReading(const vorla::plist::Integer& value) {
  const long long reading = value.saturatedLongLong();
  if (value > kMax) {
    require(reading == kMax, "an integer above the range saturates");
  } else if (value < kMin) {
    require(reading == kMin, "an integer below the range saturates");
  } else {
    require(vorla::plist::Integer{reading} == value, "an integer within the range keeps its value");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  checkTextReadings(std::string_view(reinterpret_cast<const char*>(data), size));
  if (size >= sizeof(double)) {
    double real;
    std::memcpy(&real, data, sizeof real);
    checkRealReading(real);
  }
  if (size >= 2 * sizeof(std::uint64_t)) {
    std::uint64_t words[2];
    std::memcpy(words, data, sizeof words);
    checkIntegerReading(vorla::plist::Integer::fromWords(words[0], words[1]));
  }
  return 0;
}
