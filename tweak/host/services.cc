#include "tweak/host/services.h"

namespace vorla::host {
namespace {

bool responds(id object, SEL selector) {
  return send<BOOL>(object, VORLA_SEL("respondsToSelector:"), selector) != NO;
}

}  // namespace

id newSuitePreferences() {
  id preferences = send<id>(VORLA_CLASS("HBPreferences"), VORLA_SEL("alloc"));
  return send<id>(preferences, VORLA_SEL("initWithIdentifier:"), VORLA_STR(kSuite));
}

id preferencesValue(id preferences, id key) {
  return send<id>(preferences, VORLA_SEL("objectForKey:"), key);
}

void registerBool(id preferences, BOOL* variable, BOOL fallback, id key) {
  send(preferences, VORLA_SEL("registerBool:default:forKey:"), variable, fallback, key);
}

void registerDouble(id preferences, double* variable, double fallback, id key) {
  send(preferences, VORLA_SEL("registerDouble:default:forKey:"), variable, fallback, key);
}

void registerObject(id preferences, id* variable, id fallback, id key) {
  send(preferences, VORLA_SEL("registerObject:default:forKey:"), variable, fallback, key);
}

id numberWithBool(BOOL value) {
  return send<id>(VORLA_CLASS("NSNumber"), VORLA_SEL("numberWithBool:"), value);
}

bool boolReading(id value) {
  return responds(value, VORLA_SEL("boolValue")) && send<BOOL>(value, VORLA_SEL("boolValue"));
}

long long longLongReading(id value) {
  return responds(value, VORLA_SEL("longLongValue"))
             ? send<long long>(value, VORLA_SEL("longLongValue"))
             : 0;
}

id dictionaryWithContentsOfFile(id path) {
  return send<id>(VORLA_CLASS("NSDictionary"), VORLA_SEL("dictionaryWithContentsOfFile:"), path);
}

id dictionaryValue(id dictionary, id key) {
  return send<id>(dictionary, VORLA_SEL("objectForKey:"), key);
}

id colourWithString(id value, id fallback) {
  return send<id>(VORLA_CLASS("SparkColourPickerUtils"),
                  VORLA_SEL("colourWithString:withFallback:"), value, fallback);
}

id colourWithComponents(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
  return send<id>(VORLA_CLASS("UIColor"), VORLA_SEL("colorWithRed:green:blue:alpha:"), red, green,
                  blue, alpha);
}

id namedColour(NamedColour colour) {
  Class uiColor = VORLA_CLASS("UIColor");
  switch (colour) {
    case NamedColour::kOrange:
      return send<id>(uiColor, VORLA_SEL("orangeColor"));
    case NamedColour::kRed:
      return send<id>(uiColor, VORLA_SEL("redColor"));
    case NamedColour::kWhite:
      return send<id>(uiColor, VORLA_SEL("whiteColor"));
    case NamedColour::kGray:
      return send<id>(uiColor, VORLA_SEL("grayColor"));
    case NamedColour::kBlack:
      return send<id>(uiColor, VORLA_SEL("blackColor"));
    case NamedColour::kCyan:
      return send<id>(uiColor, VORLA_SEL("cyanColor"));
    case NamedColour::kBlue:
      return send<id>(uiColor, VORLA_SEL("blueColor"));
    case NamedColour::kYellow:
      return send<id>(uiColor, VORLA_SEL("yellowColor"));
  }
  return nil;
}

}  // namespace vorla::host
