// NSString and NSNumber, with Foundation's readings of texts and numbers.
#include <cstring>

#include "standin/foundation/registration.h"
#include "standin/foundation/value_bodies.h"
#include "standin/foundation/values.h"
#include "standin/runtime/class_builder.h"
#include "standin/text/foundation_conversions.h"

namespace vorla::standin {
namespace {

Class stringClass;
Class numberClass;

const std::string& textOf(id string) { return bodyOf<StringBody>(string)->text; }
const NumberBody& numberOf(id number) { return *bodyOf<NumberBody>(number); }

id stringWithUTF8String(id, SEL, const char* utf8) {
  return utf8 == nullptr ? nil : autoreleaseObject(newString(utf8));
}

const char* utf8String(id string, SEL) { return textOf(string).c_str(); }

// Foundation counts a string's length in UTF-16 code units.
unsigned long length(id string, SEL) {
  unsigned long units = 0;
  for (unsigned char c : textOf(string)) {
    if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
  }
  return units;
}

BOOL isEqualToString(id string, SEL, id other) {
  auto text = stringOf(other);
  return text && *text == textOf(string);
}

BOOL stringBoolValue(id string, SEL) { return text::textBoolValue(textOf(string)); }
long long stringLongLongValue(id string, SEL) { return text::textLongLongValue(textOf(string)); }
double stringDoubleValue(id string, SEL) { return text::textDoubleValue(textOf(string)); }

id numberWithBool(id, SEL, BOOL value) { return autoreleaseObject(newNumberWithBool(value)); }
id numberWithLongLong(id, SEL, long long value) {
  return autoreleaseObject(newNumberWithLongLong(value));
}
id numberWithDouble(id, SEL, double value) { return autoreleaseObject(newNumberWithDouble(value)); }

BOOL numberBoolValue(id number, SEL) {
  const NumberBody& n = numberOf(number);
  return n.kind == NumberBody::Kind::kReal ? n.real != 0 : n.integer != 0;
}

long long numberLongLongValue(id number, SEL) {
  const NumberBody& n = numberOf(number);
  return n.kind == NumberBody::Kind::kReal ? text::realLongLongValue(n.real)
                                           : n.integer.saturatedLongLong();
}

double numberDoubleValue(id number, SEL) {
  const NumberBody& n = numberOf(number);
  return n.kind == NumberBody::Kind::kReal ? n.real : n.integer.toDouble();
}

BOOL numberIsEqual(id number, SEL, id other) {
  const NumberBody* o = bodyOf<NumberBody>(other);
  if (o == nullptr) return NO;
  const NumberBody& n = numberOf(number);
  if (n.kind == NumberBody::Kind::kReal || o->kind == NumberBody::Kind::kReal) {
    return numberDoubleValue(number, nullptr) == numberDoubleValue(other, nullptr);
  }
  return n.integer == o->integer;
}

id newNumber(NumberBody::Kind kind, const plist::Integer& integer, double real) {
  auto body = std::make_unique<NumberBody>();
  body->kind = kind;
  body->integer = integer;
  body->real = real;
  return createObject(numberClass, std::move(body));
}

}  // namespace

id newString(std::string_view text) {
  return createObject(stringClass, std::make_unique<StringBody>(std::string(text)));
}

id newNumberWithBool(bool value) { return newNumber(NumberBody::Kind::kBool, value ? 1 : 0, 0); }
id newNumberWithLongLong(long long value) {
  return newNumber(NumberBody::Kind::kInteger, value, 0);
}
id newNumberWithInteger(const plist::Integer& value) {
  return newNumber(NumberBody::Kind::kInteger, value, 0);
}
id newNumberWithDouble(double value) { return newNumber(NumberBody::Kind::kReal, 0, value); }

std::optional<std::string_view> stringOf(id object) {
  const StringBody* body = bodyOf<StringBody>(object);
  if (body == nullptr) return std::nullopt;
  return std::string_view(body->text);
}

void registerValueClasses() {
  stringClass = ClassBuilder("NSString", "NSObject")
                    .classMethod("alloc", allocWithEmptyBody<StringBody>)
                    .classMethod("stringWithUTF8String:", stringWithUTF8String)
                    .instanceMethod("UTF8String", utf8String)
                    .instanceMethod("length", length)
                    .instanceMethod("isEqualToString:", isEqualToString)
                    .instanceMethod("isEqual:", isEqualToString)
                    .instanceMethod("boolValue", stringBoolValue)
                    .instanceMethod("longLongValue", stringLongLongValue)
                    .instanceMethod("doubleValue", stringDoubleValue)
                    .build();
  numberClass = ClassBuilder("NSNumber", "NSObject")
                    .classMethod("alloc", allocWithEmptyBody<NumberBody>)
                    .classMethod("numberWithBool:", numberWithBool)
                    .classMethod("numberWithLongLong:", numberWithLongLong)
                    .classMethod("numberWithDouble:", numberWithDouble)
                    .instanceMethod("boolValue", numberBoolValue)
                    .instanceMethod("longLongValue", numberLongLongValue)
                    .instanceMethod("doubleValue", numberDoubleValue)
                    .instanceMethod("isEqual:", numberIsEqual)
                    .build();
}

}  // namespace vorla::standin
