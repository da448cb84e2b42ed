// The tools' reading of a typed value, kind by kind: what each form is stored as, and that every
// bad form is refused with the sentence naming what the kind accepts, never stored as something
// else.
#include "tools/common/key_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace vorla::tools {
namespace {

struct Accepted {
  const char* typed;
  plist::Value stored;
};

std::string described(const ParsedValue& parsed) {
  if (auto* why = std::get_if<std::string>(&parsed)) return "refused: " + *why;
  return "stored " + showValue(std::get<plist::Value>(parsed));
}

// The stored value must be of the same type as the expected one, not only show alike: a real 1
// in place of the integer 1 is a fault.
void expectStored(KeyKind kind, const std::vector<Accepted>& cases) {
  for (const Accepted& each : cases) {
    SCOPED_TRACE(std::string("typed \"") + each.typed + "\"");
    ParsedValue parsed = parseValue(kind, each.typed);
    ASSERT_TRUE(std::holds_alternative<plist::Value>(parsed)) << described(parsed);
    const plist::Value& value = std::get<plist::Value>(parsed);
    EXPECT_TRUE(value == each.stored)
        << described(parsed) << ", not " << showValue(each.stored) << " of its type";
  }
}

void expectRefused(KeyKind kind, const std::vector<std::string>& typed,
                   const std::string& accepted) {
  for (const std::string& text : typed) {
    SCOPED_TRACE("typed " + quotedText(text));
    ParsedValue parsed = parseValue(kind, text);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << described(parsed);
    EXPECT_EQ(std::get<std::string>(parsed), accepted);
  }
}

const std::string kNotUtf8[] = {"\xff",    "a\x80", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80",
                                "\xe2\x82"};

TEST(ParseValue, BooleansInEachSpellingAndCase) {
  expectStored(KeyKind::kBoolean, {{"on", plist::Value{true}},
                                   {"TRUE", plist::Value{true}},
                                   {" Yes\t", plist::Value{true}},
                                   {"1", plist::Value{true}},
                                   {"off", plist::Value{false}},
                                   {"False", plist::Value{false}},
                                   {"NO", plist::Value{false}},
                                   {"0\n", plist::Value{false}}});
  expectRefused(KeyKind::kBoolean, {"", " ", "2", "onn", "o n", "y", "enabled", "01", "-1"},
                "a boolean is on/off, true/false, yes/no or 1/0");
}

TEST(ParseValue, DoublesWithinTheRangeOfADouble) {
  expectStored(KeyKind::kDouble,
               {{"2.5", plist::Value{2.5}},
                {" -0.125 ", plist::Value{-0.125}},
                {"3", plist::Value{3.0}},
                {"1e3", plist::Value{1000.0}},
                {"0", plist::Value{0.0}},
                {"0e999", plist::Value{0.0}},
                {"1.7976931348623157e308", plist::Value{1.7976931348623157e308}},
                {"2.2250738585072014e-308", plist::Value{2.2250738585072014e-308}}});
  // Overflow, underflow to zero or to a subnormal, and what is not a number at all.
  expectRefused(KeyKind::kDouble,
                {"", "abc", "1e999", "-1e999", "1e-400", "4e-320", "nan", "inf", "-infinity",
                 "2.5.1", "1,5", "0x10"},
                "a double is a number within the range of a double, like 2.5");
}

TEST(ParseValue, IntegersWithin64Bits) {
  expectStored(
      KeyKind::kInteger,
      {{"1234", plist::Value{plist::Integer{1234}}},
       {"+7", plist::Value{plist::Integer{7}}},
       {" -42 ", plist::Value{plist::Integer{-42}}},
       {"9223372036854775807", plist::Value{plist::Integer{std::numeric_limits<long long>::max()}}},
       {"-9223372036854775808",
        plist::Value{plist::Integer{std::numeric_limits<long long>::min()}}}});
  expectRefused(KeyKind::kInteger,
                {"", "+", "-", "++1", "+-1", "1.0", "1e3", "12a", "9223372036854775808",
                 "-9223372036854775809", "0x1F", "1 2"},
                "an integer is a whole number within 64 bits, like 1234");
}

TEST(ParseValue, ColoursAsTheColourUtilityReadsThemStoredAsTyped) {
  expectStored(KeyKind::kColour, {{"#336699", plist::Value{std::string("#336699")}},
                                  {" #abc ", plist::Value{std::string("#abc")}},
                                  {"#33669980", plist::Value{std::string("#33669980")}},
                                  {"#336699:0.5", plist::Value{std::string("#336699:0.5")}},
                                  {"red", plist::Value{std::string("red")}}});
  expectRefused(KeyKind::kColour, {"", "#12", "#12345", "#gggggg", "336699x", "not a colour"},
                "a colour is #rrggbb, #rgb, #rrggbbaa, #rrggbb:alpha, rgb(r, g, b), "
                "rgba(r, g, b, a) or a colour name");
}

TEST(ParseValue, TextIsKeptExactlyAsTyped) {
  expectStored(KeyKind::kText,
               {{"", plist::Value{std::string()}},
                {"  padded  ", plist::Value{std::string("  padded  ")}},
                {"Hi there \xe2\x9c\x93", plist::Value{std::string("Hi there \xe2\x9c\x93")}},
                {"\"quoted\"", plist::Value{std::string("\"quoted\"")}}});
}

TEST(ParseValue, EveryKindRefusesTextThatIsNotUtf8) {
  for (KeyKind kind :
       {KeyKind::kBoolean, KeyKind::kDouble, KeyKind::kText, KeyKind::kColour, KeyKind::kInteger}) {
    SCOPED_TRACE(std::string(kindName(kind)));
    expectRefused(kind, {std::begin(kNotUtf8), std::end(kNotUtf8)}, "a value is text in UTF-8");
  }
  // Four-byte characters and the last code point are UTF-8.
  expectStored(KeyKind::kText, {{"\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf",
                                 plist::Value{std::string("\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf")}}});
}

TEST(ValueForKey, ARefusalNamesTheKeyAndTheTextAsTyped) {
  ParsedValue parsed = valueForKey("sliderKeya", KeyKind::kDouble, "wide\n");
  ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
  EXPECT_EQ(std::get<std::string>(parsed),
            "cannot set sliderKeya to \"wide\\n\": a double is a number within the range of a "
            "double, like 2.5");
  parsed = valueForKey("odd key", KeyKind::kBoolean, "maybe");
  ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
  EXPECT_EQ(std::get<std::string>(parsed).rfind("cannot set \"odd key\" to \"maybe\": ", 0), 0u);
  parsed = valueForKey("k\xff", KeyKind::kText, "fine");
  ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
  EXPECT_EQ(std::get<std::string>(parsed).substr(std::get<std::string>(parsed).rfind(": ")),
            ": a key is text in UTF-8");
  EXPECT_TRUE(std::holds_alternative<plist::Value>(valueForKey("k", KeyKind::kInteger, "5")));
}

}  // namespace
}  // namespace vorla::tools
