// Values of the suite as people type them and as the tools show them.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "standin/plist/plist_value.h"
#include "tools/common/key_catalogue.h"

namespace vorla::tools {

// The value `text` stands for as a key of `kind`, or why it is refused. Every text must be valid
// UTF-8. Surrounding whitespace is ignored by every kind but text, which is kept as typed.
//   boolean  on/off, true/false, yes/no, 1/0 (any case), stored as a boolean
//   double   a finite decimal number that neither overflows nor underflows, stored as a real
//   integer  a decimal integer within 64 bits, stored as an integer
//   colour   a text the colour utility reads (#rrggbb, #rgb, rgb(...), a colour name, ...)
//   text     any text
using ParsedValue = std::variant<plist::Value, std::string>;
ParsedValue parseValue(KeyKind kind, std::string_view text);

// The value to store under `key` (of `kind`) for `text`, or the whole message that refuses it,
// as vorla-prefs prints it: `cannot set KEY to "TEXT": why`.
ParsedValue valueForKey(std::string_view key, KeyKind kind, std::string_view text);

// A text in double quotes, with quotes, backslashes, control characters and bytes that are not
// UTF-8 escaped, so that it stays on one line and reads back unambiguously.
std::string quotedText(std::string_view text);

// A key as shown: as it is when made of letters, digits, '.', '_' and '-', else quoted.
std::string keyText(std::string_view key);

// A stored value in a line: texts quoted, booleans true/false, numbers in shortest form.
std::string showValue(const plist::Value& value);

// "" when `value` is of the kind a key of `kind` holds, else what it should be ("not a colour").
std::string kindMismatch(KeyKind kind, const plist::Value& value);

}  // namespace vorla::tools
