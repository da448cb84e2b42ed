#include "tools/common/key_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "standin/text/ascii.h"
#include "standin/text/colour_text.h"
#include "standin/text/foundation_conversions.h"

namespace vorla::tools {
namespace {

std::string shortest(double value) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0: no overlong forms,
// no surrogates, nothing beyond U+10FFFF.
std::size_t utf8SequenceLength(std::string_view text) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                      : 0;
  if (length == 0 || text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  unsigned char second = byte(1);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
      (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
    return 0;
  }
  return length;
}

bool isUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = utf8SequenceLength(text.substr(i));
    if (length == 0) return false;
    i += length;
  }
  return true;
}

// Underflow loses the number as overflow does: a text with a non-zero digit that reads as zero,
// or as a subnormal, is refused like one that reads as infinity.
bool representable(std::string_view text, double number) {
  if (!std::isfinite(number)) return false;
  if (std::fpclassify(number) == FP_SUBNORMAL) return false;
  std::string_view mantissa = text.substr(0, text.find_first_of("eE"));
  bool nonZeroDigit = mantissa.find_first_of("123456789") != std::string_view::npos;
  return number != 0 || !nonZeroDigit;
}

}  // namespace

ParsedValue parseValue(KeyKind kind, std::string_view text) {
  if (!isUtf8(text)) return std::string("a value is text in UTF-8");
  if (kind == KeyKind::kText) return plist::Value{std::string(text)};
  std::string_view trimmed = text::ascii::trimSpace(text);
  switch (kind) {
    case KeyKind::kBoolean: {
      std::string word = text::ascii::lowered(trimmed);
      if (word == "on" || word == "true" || word == "yes" || word == "1") return plist::Value{true};
      if (word == "off" || word == "false" || word == "no" || word == "0") {
        return plist::Value{false};
      }
      return std::string("a boolean is on/off, true/false, yes/no or 1/0");
    }
    case KeyKind::kDouble: {
      std::optional<double> number = text::textNumber(trimmed);
      if (!number || !representable(trimmed, *number)) {
        return std::string("a double is a number within the range of a double, like 2.5");
      }
      return plist::Value{*number};
    }
    case KeyKind::kInteger: {
      long long number = 0;
      // One sign at most: from_chars reads a '-' of its own, so "+-1" must not reach it whole.
      std::string_view digits = trimmed.starts_with('+') ? trimmed.substr(1) : trimmed;
      if (trimmed.starts_with('+') && digits.starts_with('-')) digits = {};
      auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
      if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        return std::string("an integer is a whole number within 64 bits, like 1234");
      }
      return plist::Value{plist::Integer{number}};
    }
    case KeyKind::kColour:
      if (!text::parseColourText(trimmed)) {
        return std::string(
            "a colour is #rrggbb, #rgb, #rrggbbaa, #rrggbb:alpha, rgb(r, g, b), rgba(r, g, b, a) "
            "or a colour name");
      }
      return plist::Value{std::string(trimmed)};
    case KeyKind::kText:
      break;
  }
  return std::string("unknown kind");
}

ParsedValue valueForKey(std::string_view key, KeyKind kind, std::string_view text) {
  std::string refused = "cannot set " + keyText(key) + " to " + quotedText(text) + ": ";
  if (!isUtf8(key)) return refused + "a key is text in UTF-8";
  ParsedValue parsed = parseValue(kind, text);
  if (auto* why = std::get_if<std::string>(&parsed)) return refused + *why;
  return parsed;
}

std::string quotedText(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = utf8SequenceLength(text.substr(i));
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (length > 1) {
      out += text.substr(i, length);
      i += length;
      continue;
    }
    ++i;
    text::ascii::appendQuotedByte(out, c, length == 0);
  }
  return out + "\"";
}

std::string keyText(std::string_view key) {
  bool plain = !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || text::ascii::isDigit(c) ||
           c == '.' || c == '_' || c == '-';
  });
  return plain ? std::string(key) : quotedText(key);
}

std::string showValue(const plist::Value& value) {
  if (auto* text = value.get_if<std::string>()) return quotedText(*text);
  if (auto* flag = value.get_if<bool>()) return *flag ? "true" : "false";
  if (auto* real = value.get_if<double>()) return shortest(*real);
  if (auto* integer = value.get_if<plist::Integer>()) {
    return std::to_string(integer->saturatedLongLong());
  }
  if (value.is<plist::Array>()) return "(array)";
  if (value.is<plist::Dictionary>()) return "(dictionary)";
  if (value.is<plist::Data>()) return "(data)";
  return "(date)";
}

std::string kindMismatch(KeyKind kind, const plist::Value& value) {
  const std::string* text = value.get_if<std::string>();
  switch (kind) {
    case KeyKind::kBoolean:
      return value.is<bool>() ? "" : "not a boolean";
    case KeyKind::kDouble:
      return value.is<double>() || value.is<plist::Integer>() ? "" : "not a number";
    case KeyKind::kInteger:
      return value.is<plist::Integer>() ? "" : "not an integer";
    case KeyKind::kColour:
      return text && text::parseColourText(*text) ? "" : "not a colour";
    case KeyKind::kText:
      return text ? "" : "not a text";
  }
  return "";
}

}  // namespace vorla::tools
