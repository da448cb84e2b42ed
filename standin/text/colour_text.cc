#include "standin/text/colour_text.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <optional>

#include "standin/text/ascii.h"
#include "standin/text/foundation_conversions.h"

namespace vorla::text {
namespace {

struct NamedColour {
  std::string_view name;
  Rgba colour;
};

constexpr double kThird = 1.0 / 3.0;

constexpr std::array<NamedColour, 15> kNamedColours = {{
    {"black", {0, 0, 0, 1}},
    {"darkGray", {kThird, kThird, kThird, 1}},
    {"lightGray", {2 * kThird, 2 * kThird, 2 * kThird, 1}},
    {"white", {1, 1, 1, 1}},
    {"gray", {0.5, 0.5, 0.5, 1}},
    {"red", {1, 0, 0, 1}},
    {"green", {0, 1, 0, 1}},
    {"blue", {0, 0, 1, 1}},
    {"cyan", {0, 1, 1, 1}},
    {"yellow", {1, 1, 0, 1}},
    {"magenta", {1, 0, 1, 1}},
    {"orange", {1, 0.5, 0, 1}},
    {"purple", {0.5, 0, 0.5, 1}},
    {"brown", {0.6, 0.4, 0.2, 1}},
    {"clear", {0, 0, 0, 0}},
}};

std::optional<int> hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const char lower = ascii::toLower(c);
  if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
  return std::nullopt;
}

// Reads hex digits, each `width` characters long (a one-digit channel is the digit doubled),
// into channels of 0...255.
template <std::size_t N>
std::optional<std::array<int, N>> hexChannels(std::string_view digits, std::size_t width) {
  if (digits.size() != N * width) return std::nullopt;
  std::array<int, N> channels{};
  for (std::size_t c = 0; c < N; ++c) {
    int value = 0;
    for (std::size_t d = 0; d < width; ++d) {
      const std::optional<int> digit = hexDigit(digits[c * width + d]);
      if (!digit) return std::nullopt;
      value = value * 16 + *digit;
    }
    channels[c] = width == 1 ? value * 17 : value;
  }
  return channels;
}

Rgba fromChannels(int red, int green, int blue, double alpha) {
  return {red / 255.0, green / 255.0, blue / 255.0, alpha};
}

// The colour picker stores its own colours as six hex digits and a decimal alpha.
std::optional<Rgba> parsePickerHex(std::string_view digits, std::string_view alphaText) {
  const auto rgb = hexChannels<3>(digits, 2);
  const std::optional<double> alpha = textNumber(alphaText);
  if (!rgb || !alpha || std::isnan(*alpha)) return std::nullopt;
  const double clamped = *alpha < 0 ? 0.0 : (*alpha > 1 ? 1.0 : *alpha);
  return fromChannels((*rgb)[0], (*rgb)[1], (*rgb)[2], clamped);
}

std::optional<Rgba> parseHex(std::string_view digits) {
  if (const std::size_t colon = digits.find(':'); colon != std::string_view::npos) {
    return parsePickerHex(digits.substr(0, colon), digits.substr(colon + 1));
  }
  if (const auto rgb = hexChannels<3>(digits, 1)) {
    return fromChannels((*rgb)[0], (*rgb)[1], (*rgb)[2], 1.0);
  }
  if (const auto rgb = hexChannels<3>(digits, 2)) {
    return fromChannels((*rgb)[0], (*rgb)[1], (*rgb)[2], 1.0);
  }
  if (const auto rgba = hexChannels<4>(digits, 2)) {
    return fromChannels((*rgba)[0], (*rgba)[1], (*rgba)[2], (*rgba)[3] / 255.0);
  }
  return std::nullopt;
}

// Comparisons are written so that NaN falls outside every range.
std::optional<double> numberWithin(std::string_view item, double high) {
  const std::optional<double> value = textNumber(item);
  if (!value || !(*value >= 0 && *value <= high)) return std::nullopt;
  return value;
}

// The arguments of rgb(...) or rgba(...): `count` comma-separated numbers, the last being the
// alpha when there are four.
std::optional<Rgba> parseFunctionArguments(std::string_view arguments, std::size_t count) {
  std::array<double, 4> values{0, 0, 0, 1};
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t comma = arguments.find(',');
    const bool last = i + 1 == count;
    if ((comma == std::string_view::npos) != last) return std::nullopt;
    const std::optional<double> value =
        numberWithin(arguments.substr(0, comma), i == 3 ? 1.0 : 255.0);
    if (!value) return std::nullopt;
    values[i] = i == 3 ? *value : *value / 255.0;
    if (!last) arguments.remove_prefix(comma + 1);
  }
  return Rgba{values[0], values[1], values[2], values[3]};
}

std::optional<Rgba> parseFunction(std::string_view text) {
  const std::size_t open = text.find('(');
  if (open == std::string_view::npos || text.back() != ')') return std::nullopt;
  const std::string_view name = text.substr(0, open);
  const std::string_view arguments = text.substr(open + 1, text.size() - open - 2);
  if (ascii::equalsIgnoringCase(name, "rgb")) return parseFunctionArguments(arguments, 3);
  if (ascii::equalsIgnoringCase(name, "rgba")) return parseFunctionArguments(arguments, 4);
  return std::nullopt;
}

int channelByte(double component) {
  if (!(component > 0)) return 0;
  if (component >= 1) return 255;
  return static_cast<int>(std::lround(component * 255));
}

}  // namespace

std::optional<Rgba> namedColour(std::string_view name) {
  for (const NamedColour& entry : kNamedColours) {
    if (ascii::equalsIgnoringCase(name, entry.name)) return entry.colour;
  }
  return std::nullopt;
}

std::optional<Rgba> parseColourText(std::string_view text) {
  text = ascii::trimSpace(text);
  if (text.empty()) return std::nullopt;
  if (text.front() == '#') return parseHex(text.substr(1));
  if (text.back() == ')') return parseFunction(text);
  return namedColour(text);
}

std::string formatColourText(const Rgba& colour) {
  static constexpr char kHex[] = "0123456789abcdef";
  const std::array<int, 4> bytes = {channelByte(colour.red), channelByte(colour.green),
                                    channelByte(colour.blue), channelByte(colour.alpha)};
  // Full opacity is judged on the rounded byte so that the text never spells out "ff".
  const std::size_t shown = bytes[3] == 255 ? 3 : 4;
  std::string text(1 + 2 * shown, '#');
  for (std::size_t i = 0; i < shown; ++i) {
    text[1 + 2 * i] = kHex[bytes[i] >> 4];
    text[2 + 2 * i] = kHex[bytes[i] & 0xf];
  }
  return text;
}

}  // namespace vorla::text
