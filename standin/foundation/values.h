// C++ access to the stand-in's value objects, for the stand-in itself, the host models,
// the tools and the tests. Objects handed out follow the platform's rules: `new...` results are
// owned by the caller (+1); everything else is borrowed.
#pragma once

#include <objc/runtime.h>

#include <optional>
#include <string>
#include <string_view>

#include "standin/foundation/platform_types.h"
#include "standin/plist/plist_value.h"
#include "standin/text/colour_text.h"

namespace vorla::standin {

id newString(std::string_view text);
id newNumberWithBool(bool value);
id newNumberWithLongLong(long long value);
id newNumberWithDouble(double value);
id newNumberWithInteger(const plist::Integer& value);
id newColour(const text::Rgba& rgba);

// An immutable object tree for a property-list value (+1).
id newObjectFromPlist(const plist::Value& value);

// The text of an NSString, or nullopt for anything else (nil included). Valid while `object` is.
std::optional<std::string_view> stringOf(id object);

// The components of a UIColor, or nullopt for anything else.
std::optional<text::Rgba> colourOf(id object);

// A readable rendering of any value object on one line, for tools and test messages: texts quoted
// (quotes, backslashes and control characters escaped), colours as "#rrggbb", numbers as
// numbers, collections with their contents, nil as "nil".
std::string describe(id object);

// Whether the object is an instance of the named class or one of its subclasses.
bool isKindOf(id object, const char* className);

}  // namespace vorla::standin
