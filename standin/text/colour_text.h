#pragma once

#include <optional>
#include <string>
#include <string_view>

// Colour values as written in settings files and shown by tools.
namespace vorla::text {

// Components run from 0 to 1.
struct Rgba {
  double red;
  double green;
  double blue;
  double alpha;

  bool operator==(const Rgba&) const = default;
};

// Accepts, with optional whitespace around the whole text:
//   #RGB, #RRGGBB, #RRGGBBAA          hex digits in any case
//   #RRGGBB:alpha                     decimal alpha, clamped to 0...1
//   rgb(r, g, b), rgba(r, g, b, a)    r, g, b within 0...255; a within 0...1
//   a colour name known to namedColour
// and gives nullopt for anything else.
std::optional<Rgba> parseColourText(std::string_view text);

// The platform's named colours (black, darkGray, lightGray, white, gray, red, green, blue,
// cyan, yellow, magenta, orange, purple, brown, clear), matched without regard to case.
std::optional<Rgba> namedColour(std::string_view name);

// "#rrggbb" when the alpha rounds to full opacity, else "#rrggbbaa"; lowercase, each component
// clamped to 0...1 and rounded to the nearest of 0...255.
std::string formatColourText(const Rgba& colour);

}  // namespace vorla::text
