// Writing property lists, in the binary format the device's preference service writes and in
// XML for people to read. The device only reads them: the writer serves the tools, the tests and
// the fuzz targets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "standin/plist/plist_value.h"

namespace vorla::plist {

std::vector<std::uint8_t> writeBinary(const Value& value);
std::string writeXml(const Value& value);

// `text` as XML or HTML character data or attribute value: & < > " and carriage returns escaped.
std::string markupEscaped(std::string_view text);

}  // namespace vorla::plist
