#include "tools/common/key_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "device/text/colour_text.h"
#include "device/text/foundation_conversions.h"

namespace vorla::tools {
namespace {

std::string lowered(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

std::string shortest(double value) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

}  // namespace

ParsedValue parseValue(KeyKind kind, std::string_view text) {
  switch (kind) {
    case KeyKind::kBoolean: {
      std::string word = lowered(text);
      if (word == "on" || word == "true" || word == "yes" || word == "1") return plist::Value{true};
      if (word == "off" || word == "false" || word == "no" || word == "0") {
        return plist::Value{false};
      }
      return std::string("a boolean is on/off, true/false, yes/no or 1/0");
    }
    case KeyKind::kDouble: {
      std::optional<double> number = text::textNumber(text);
      if (!number || !std::isfinite(*number)) return std::string("a double is a number, like 2.5");
      return plist::Value{*number};
    }
    case KeyKind::kInteger: {
      long long number = 0;
      std::string_view digits = text.starts_with('+') ? text.substr(1) : text;
      auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
      if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        return std::string("an integer is a whole number within 64 bits, like 1234");
      }
      return plist::Value{plist::Integer{number}};
    }
    case KeyKind::kColour:
      if (!text::parseColourText(text)) {
        return std::string(
            "a colour is #rrggbb, #rgb, #rrggbbaa, #rrggbb:alpha, rgb(r, g, b), rgba(r, g, b, a) "
            "or a colour name");
      }
      return plist::Value{std::string(text)};
    case KeyKind::kText:
      return plist::Value{std::string(text)};
  }
  return std::string("unknown kind");
}

std::string showValue(const plist::Value& value) {
  if (auto* text = value.get_if<std::string>()) return "\"" + *text + "\"";
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

}  // namespace vorla::tools
