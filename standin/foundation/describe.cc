#include <cinttypes>
#include <cstdio>

#include "standin/foundation/value_bodies.h"
#include "standin/foundation/values.h"
#include "standin/text/ascii.h"

namespace vorla::standin {
namespace {

// Quoted, with quotes, backslashes and control characters escaped: a text stays on one line and
// reads back unambiguously wherever it is shown.
std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) text::ascii::appendQuotedByte(out, static_cast<unsigned char>(c));
  return out + "\"";
}

}  // namespace

bool isKindOf(id object, const char* className) {
  Class wanted = objc_getClass(className);
  if (object == nil || wanted == Nil) return false;
  for (Class c = object_getClass(object); c != Nil; c = class_getSuperclass(c)) {
    if (c == wanted) return true;
  }
  return false;
}

std::string describe(id object) {
  if (object == nil) return "nil";
  if (auto text = stringOf(object)) return quoted(*text);
  if (auto rgba = colourOf(object)) return text::formatColourText(*rgba);
  if (auto* number = bodyOf<NumberBody>(object)) {
    char buffer[64];
    switch (number->kind) {
      case NumberBody::Kind::kBool:
        return number->integer != 0 ? "YES" : "NO";
      case NumberBody::Kind::kReal:
        std::snprintf(buffer, sizeof buffer, "%.17g", number->real);
        return buffer;
      case NumberBody::Kind::kInteger:
        if (!number->integer.fitsInt64()) {
          std::snprintf(buffer, sizeof buffer, "%" PRIu64, number->integer.low());
        } else {
          std::snprintf(buffer, sizeof buffer, "%" PRId64,
                        static_cast<std::int64_t>(number->integer.low()));
        }
        return buffer;
    }
  }
  if (auto* array = bodyOf<ArrayBody>(object)) {
    std::string out = "(";
    for (id element : array->elements) out += (out.size() > 1 ? ", " : "") + describe(element);
    return out + ")";
  }
  if (auto* dictionary = bodyOf<DictionaryBody>(object)) {
    std::string out = "{";
    for (auto& [key, value] : dictionary->entries) {
      out += (out.size() > 1 ? ", " : "") + describe(key) + " = " + describe(value);
    }
    return out + "}";
  }
  if (auto* data = bodyOf<DataBody>(object))
    return "<" + std::to_string(data->bytes.size()) + " bytes>";
  if (bodyOf<DateBody>(object)) return "<date>";
  return std::string("<") + class_getName(object_getClass(object)) + ">";
}

}  // namespace vorla::standin
