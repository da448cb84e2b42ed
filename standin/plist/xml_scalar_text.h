#pragma once

#include <optional>
#include <string_view>

#include "standin/plist/plist_value.h"

namespace vorla::plist::detail {

// The text of XML scalar elements, in the exact forms writers produce: no surrounding
// whitespace, and nothing that depends on the process locale.

// Decimal with an optional sign, from INT64_MIN to UINT64_MAX. Leading zeros never mean octal.
std::optional<Integer> parseXmlInteger(std::string_view text);

// Decimal or exponent notation, and "nan" / "inf" in any case with an optional sign.
std::optional<double> parseXmlReal(std::string_view text);

// YYYY-MM-DDTHH:MM:SSZ, always UTC.
std::optional<Date> parseXmlDate(std::string_view text);

// Base64 with or without padding; XML whitespace anywhere is skipped, anything else rejects.
std::optional<Data> decodeBase64(std::string_view text);

bool isXmlWhitespace(char c);

}  // namespace vorla::plist::detail
