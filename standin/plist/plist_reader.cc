#include "standin/plist/plist_reader.h"

#include <algorithm>
#include <string_view>

#include "standin/plist/binary_plist_parser.h"
#include "standin/plist/xml_plist_parser.h"

namespace vorla::plist {

std::optional<Value> parse(std::span<const std::uint8_t> bytes) {
  constexpr std::string_view kBinaryMagic = "bplist00";
  if (bytes.size() >= kBinaryMagic.size() &&
      std::equal(kBinaryMagic.begin(), kBinaryMagic.end(), bytes.begin())) {
    return detail::parseBinaryPlist(bytes);
  }
  return detail::parseXmlPlist(bytes);
}

std::optional<Value> readFile(const char* path, std::size_t cap) {
  const auto bytes = readFileBytes(path, cap);
  if (!bytes) return std::nullopt;
  return parse(*bytes);
}

}  // namespace vorla::plist
