#include "standin/plist/xml_scalar_text.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace vorla::plist::detail {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's days_from_civil).
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

unsigned daysInMonth(unsigned year, unsigned month) {
  constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

std::optional<unsigned> digits(std::string_view text) {
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value;
}

int base64Sextet(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

bool isXmlWhitespace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::optional<Integer> parseXmlInteger(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;

  constexpr std::uint64_t kMaxPositive = std::numeric_limits<std::uint64_t>::max();
  constexpr std::uint64_t kMaxNegative = std::uint64_t{1} << 63;
  std::uint64_t magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (magnitude > (kMaxPositive - digit) / 10) return std::nullopt;
    magnitude = magnitude * 10 + digit;
  }
  if (!negative) return Integer{magnitude};
  if (magnitude > kMaxNegative) return std::nullopt;
  return Integer{magnitude}.negated();
}

std::optional<double> parseXmlReal(std::string_view text) {
  // from_chars takes no '+', which some writers put before "inf".
  if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::optional<Date> parseXmlDate(std::string_view text) {
  if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':' || text[19] != 'Z') {
    return std::nullopt;
  }
  const auto year = digits(text.substr(0, 4));
  const auto month = digits(text.substr(5, 2));
  const auto day = digits(text.substr(8, 2));
  const auto hour = digits(text.substr(11, 2));
  const auto minute = digits(text.substr(14, 2));
  const auto second = digits(text.substr(17, 2));
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  if (*month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month) || *hour > 23 ||
      *minute > 59 || *second > 59) {
    return std::nullopt;
  }
  const std::int64_t days = daysFromCivil(*year, *month, *day) - daysFromCivil(2001, 1, 1);
  const std::int64_t seconds = days * 86400 + *hour * 3600 + *minute * 60 + *second;
  return Date{static_cast<double>(seconds)};
}

std::optional<Data> decodeBase64(std::string_view text) {
  Data out;
  out.reserve(text.size() / 4 * 3 + 2);
  std::uint32_t bits = 0;
  int bitCount = 0;
  std::size_t symbols = 0;
  std::size_t padding = 0;
  for (char c : text) {
    if (isXmlWhitespace(c)) continue;
    if (c == '=') {
      ++padding;
      continue;
    }
    const int sextet = base64Sextet(c);
    if (sextet < 0 || padding != 0) return std::nullopt;
    bits = (bits << 6) | static_cast<std::uint32_t>(sextet);
    bitCount += 6;
    ++symbols;
    if (bitCount >= 8) {
      bitCount -= 8;
      out.push_back(static_cast<std::uint8_t>(bits >> bitCount));
      bits &= (1u << bitCount) - 1;
    }
  }
  if (symbols % 4 == 1 || padding > 2 || (padding != 0 && (symbols + padding) % 4 != 0)) {
    return std::nullopt;
  }
  return out;
}

}  // namespace vorla::plist::detail
