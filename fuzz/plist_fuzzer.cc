// The property-list reader on any bytes, in both formats. What it accepts must keep its value
// through the writers: the binary writer for every value, and the XML writer for what was read
// from XML, whose strings and dates the XML format can always hold.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "standin/plist/plist_reader.h"
#include "tools/common/plist_writer.h"

namespace {

using namespace vorla::plist;
using vorla::fuzz::require;

// The binary format keeps a real's bits; the XML format spells every NaN the same way.
bool sameReal(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) ||
         (std::isnan(a) && std::isnan(b));
}

bool same(const Value& a, const Value& b) {
  if (a.content.index() != b.content.index()) return false;
  if (const auto* real = a.get_if<double>()) return sameReal(*real, *b.get_if<double>());
  if (const auto* date = a.get_if<Date>()) {
    return sameReal(date->secondsSince2001, b.get_if<Date>()->secondsSince2001);
  }
  if (const auto* array = a.get_if<Array>()) {
    return std::ranges::equal(*array, *b.get_if<Array>(), same);
  }
  if (const auto* dictionary = a.get_if<Dictionary>()) {
    return std::ranges::equal(*dictionary, *b.get_if<Dictionary>(),
                              [](const auto& x, const auto& y) {
                                return x.first == y.first && same(x.second, y.second);
                              });
  }
  return a == b;
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const auto value = parse(input);
  if (!value) return 0;

  const auto binary = writeBinary(*value);
  const auto fromBinary = parse(binary);
  require(fromBinary.has_value(), "the binary writer's output parses");
  require(same(*value, *fromBinary), "a value written in binary reads back the same");

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!text.starts_with("bplist00")) {
    const auto fromXml = parse(bytesOf(writeXml(*value)));
    require(fromXml.has_value(), "the XML writer's output parses");
    require(same(*value, *fromXml), "a value read from XML and written as XML reads back the same");
  }
  return 0;
}
