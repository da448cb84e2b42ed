// Values of the suite as people type them and as the tools show them.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "device/plist/plist_value.h"
#include "tools/common/key_catalogue.h"

namespace vorla::tools {

// The value `text` stands for as a key of `kind`, or why it is refused:
//   boolean  on/off, true/false, yes/no, 1/0 (any case), stored as a boolean
//   double   a finite decimal number, stored as a real
//   integer  a decimal integer within 64 bits, stored as an integer
//   colour   a text the colour utility reads (#rrggbb, #rgb, rgb(...), a colour name, ...)
//   text     any text
using ParsedValue = std::variant<plist::Value, std::string>;
ParsedValue parseValue(KeyKind kind, std::string_view text);

// A stored value in a line: texts quoted, booleans true/false, numbers in shortest form.
std::string showValue(const plist::Value& value);

}  // namespace vorla::tools
