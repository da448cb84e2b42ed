// Colour texts as a settings file may hold them: anything. An accepted colour has every
// component within 0...1, and the text it is shown as reads back as the same text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "standin/text/colour_text.h"

using vorla::fuzz::require;
using namespace vorla::text;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto colour = parseColourText(text);
  if (!colour) return 0;
  for (double component : {colour->red, colour->green, colour->blue, colour->alpha}) {
    require(component >= 0 && component <= 1, "every component is within 0...1 and not NaN");
  }
  const std::string shown = formatColourText(*colour);
  const auto again = parseColourText(shown);
  require(again.has_value(), "the shown text of a colour is a colour text");
  require(formatColourText(*again) == shown, "the shown text reads back as itself");
  return 0;
}
