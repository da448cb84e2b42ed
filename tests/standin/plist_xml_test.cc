#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "standin/plist/plist_reader.h"
#include "tests/standin/comma_locale.h"
#include "tests/standin/plist_test_support.h"

namespace vorla::plist {
namespace {

using testing::integer;
using testing::parseText;
using testing::text;

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";

std::optional<Value> parsePlist(std::string_view body) {
  return parseText(std::string(kHeader) + "<plist version=\"1.0\">" + std::string(body) +
                   "</plist>");
}

std::optional<Value> parseElement(std::string_view name, std::string_view content) {
  return parsePlist("<" + std::string(name) + ">" + std::string(content) + "</" +
                    std::string(name) + ">");
}

TEST(XmlPlistTest, IntegersAreDecimalAndWithin64Bits) {
  EXPECT_EQ(parseElement("integer", "010"), integer(10));
  EXPECT_EQ(parseElement("integer", "+7"), integer(7));
  EXPECT_EQ(parseElement("integer", "-0"), integer(0));
  EXPECT_EQ(parseElement("integer", "-9223372036854775808"), integer(INT64_MIN));
  EXPECT_EQ(parseElement("integer", "18446744073709551615"), integer(UINT64_MAX));
  EXPECT_EQ(parseElement("integer", "0000000000000000000000000000042"), integer(42));
  for (const char* rejected :
       {"0x10", "99999999999999999999", "18446744073709551616", "-9223372036854775809", "", "-",
        "+", " 1", "1 ", "1.0", "1e3", "--1", "+-1", "１"}) {
    EXPECT_EQ(parseElement("integer", rejected), std::nullopt) << rejected;
  }
}

TEST(XmlPlistTest, RealsIgnoreTheProcessLocale) {
  // A locale whose decimal separator is a comma would break strtod-style parsing.
  vorla::testing::CommaDecimalLocale locale;
  EXPECT_EQ(parseElement("real", "0.5"), Value{0.5});
  EXPECT_EQ(parseElement("real", "-1e+300"), Value{-1e300});
  EXPECT_EQ(parseElement("real", "12"), Value{12.0});
  EXPECT_EQ(parseElement("real", "0,5"), std::nullopt);
  if (!locale.active())
    GTEST_SKIP() << "no locale with a decimal comma installed; checked in C only";
}

TEST(XmlPlistTest, RealsAcceptInfinityAndNanInAnyCase) {
  for (const char* positive : {"inf", "+inf", "INF", "Inf", "+Infinity"}) {
    EXPECT_EQ(parseElement("real", positive), Value{INFINITY}) << positive;
  }
  EXPECT_EQ(parseElement("real", "-inf"), Value{-INFINITY});
  EXPECT_EQ(parseElement("real", "-INF"), Value{-INFINITY});
  for (const char* nan : {"nan", "NaN", "NAN"}) {
    const auto value = parseElement("real", nan);
    ASSERT_TRUE(value && value->is<double>()) << nan;
    EXPECT_TRUE(std::isnan(*value->get_if<double>())) << nan;
  }
  const auto negativeZero = parseElement("real", "-0.0");
  ASSERT_TRUE(negativeZero && negativeZero->is<double>());
  EXPECT_TRUE(std::signbit(*negativeZero->get_if<double>()));
  for (const char* rejected : {"", "+", "++1", "+-1", "0x1p3", " 1.5", "1.5 ", "1.5f", "1e999"}) {
    EXPECT_EQ(parseElement("real", rejected), std::nullopt) << rejected;
  }
}

TEST(XmlPlistTest, DatesAreFullUtcTimestamps) {
  EXPECT_EQ(parseElement("date", "2001-01-01T00:00:01Z"), Value{Date{1}});
  // Expected values computed with Python's datetime.
  EXPECT_EQ(parseElement("date", "2000-02-29T00:00:00Z"), Value{Date{-26524800}});
  EXPECT_EQ(parseElement("date", "1600-03-01T00:00:00Z"), Value{Date{-12649219200.0}});
  EXPECT_EQ(parseElement("date", "0001-01-01T00:00:00Z"), Value{Date{-63113904000.0}});
  EXPECT_EQ(parseElement("date", "9999-12-31T23:59:59Z"), Value{Date{252423993599.0}});
  for (const char* rejected :
       {"2001-01-01", "2001-01-01T00:00:00", "2001-01-01T00:00:00+01:00", "2001-13-01T00:00:00Z",
        "2001-00-10T00:00:00Z", "2001-02-29T00:00:00Z", "1900-02-29T00:00:00Z",
        "2001-04-31T00:00:00Z", "2001-01-01T24:00:00Z", "2001-01-01T00:60:00Z",
        "2001-01-01T00:00:60Z", "2001-01-01 00:00:00Z", "2001-1-01T00:00:00Z",
        "+001-01-01T00:00:00Z"}) {
    EXPECT_EQ(parseElement("date", rejected), std::nullopt) << rejected;
  }
}

TEST(XmlPlistTest, DataIsBase64WithWhitespaceSkipped) {
  EXPECT_EQ(parseElement("data", "AAEC/w=="), (Value{Data{0, 1, 2, 0xFF}}));
  EXPECT_EQ(parseElement("data", "\n\tAAEC\r\n  /w==\n"), (Value{Data{0, 1, 2, 0xFF}}));
  EXPECT_EQ(parseElement("data", "AAEC/w"), (Value{Data{0, 1, 2, 0xFF}}));
  EXPECT_EQ(parseElement("data", "+/+/"), (Value{Data{0xFB, 0xFF, 0xBF}}));
  EXPECT_EQ(parseElement("data", ""), Value{Data{}});
  for (const char* rejected : {"AAEC/w=", "AAEC/w===", "A", "AAECA", "=AAA", "AA==AA==", "AA-_",
                               "AA\x01"
                               "A",
                               "AA.A"}) {
    EXPECT_EQ(parseElement("data", rejected), std::nullopt) << rejected;
  }
}

TEST(XmlPlistTest, StringTextIsKeptExactly) {
  EXPECT_EQ(parseElement("string", " a &amp; b &lt;c&gt; &#x1F600; \n"),
            text(" a & b <c> \U0001F600 \n"));
  EXPECT_EQ(parseElement("string", "<![CDATA[<not markup>]]>"), text("<not markup>"));
  EXPECT_EQ(parsePlist("<string/>"), text(""));
  EXPECT_EQ(parseText("<plist><true/></plist>"), Value{true});  // no prolog at all
}

TEST(XmlPlistTest, DictionariesKeepOrderAndTheLastOfRepeatedKeys) {
  EXPECT_EQ(parsePlist("<dict>\n <key>b</key><integer>1</integer>\n <key>a</key><false/>\n"
                       " <key>b</key><integer>3</integer>\n</dict>"),
            (Value{Dictionary{{"b", integer(3)}, {"a", Value{false}}}}));
  EXPECT_EQ(parsePlist("<dict><key></key><string>empty key</string></dict>"),
            (Value{Dictionary{{"", text("empty key")}}}));
}

TEST(XmlPlistTest, RejectsMalformedStructure) {
  // No value, two values, keys and values unpaired or misplaced, text or elements where none
  // belong, a nested or unknown root, an unclosed element.
  for (const char* body :
       {"", "<true/><false/>", "<dict><key>a</key></dict>", "<dict><string>a</string></dict>",
        "<dict><key>a</key><key>b</key><true/></dict>", "<array><key>a</key></array>",
        "<key>a</key>", "<array>text</array>", "<dict>x<key>a</key><true/></dict>",
        "<true>yes</true>", "stray<true/>", "<string><string>a</string></string>",
        "<integer>1<true/></integer>", "<true><false/></true>", "<plist><true/></plist>",
        "<unknown/>", "<null/>", "<String>a</String>", "<array><true/>"}) {
    EXPECT_EQ(parsePlist(body), std::nullopt) << body;
  }
  EXPECT_EQ(parseText("<array><true/></array>"), std::nullopt);  // wrong root
  EXPECT_EQ(parseText("<plist><true/></plist><plist/>"), std::nullopt);
  EXPECT_EQ(parseText(""), std::nullopt);
  EXPECT_EQ(parseText("   "), std::nullopt);
  EXPECT_EQ(parseText("\x00\xFF\xFE garbage \x7F"), std::nullopt);
  EXPECT_EQ(parseText("bplist01"), std::nullopt);
}

TEST(XmlPlistTest, RefusesEntityDeclarations) {
  const std::string laughs =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n <!ENTITY a \"aaaaaaaaaa\">\n"
      " <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
      " <!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
      " <!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">\n]>\n"
      "<plist><string>&d;</string></plist>";
  EXPECT_EQ(parseText(laughs), std::nullopt);
  EXPECT_EQ(parseText("<!DOCTYPE plist [<!ENTITY e \"x\">]><plist><true/></plist>"), std::nullopt);
  EXPECT_EQ(parseText("<!DOCTYPE plist [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>"
                      "<plist><string>&e;</string></plist>"),
            std::nullopt);
  // Behind an external DTD, expat skips undeclared entities instead of failing.
  EXPECT_EQ(parsePlist("<string>a&undeclared;b</string>"), std::nullopt);
}

std::string nested(std::string_view open, std::string_view close, std::size_t depth) {
  std::string body;
  for (std::size_t i = 0; i < depth; ++i) body += open;
  for (std::size_t i = 0; i < depth; ++i) body += close;
  return body;
}

TEST(XmlPlistTest, NestingDepthIsBounded) {
  EXPECT_TRUE(parsePlist(nested("<array>", "</array>", kMaxDepth)).has_value());
  EXPECT_EQ(parsePlist(nested("<array>", "</array>", kMaxDepth + 1)), std::nullopt);
  EXPECT_EQ(parsePlist(nested("<dict><key>k</key>", "</dict>", 100'000)), std::nullopt);
  EXPECT_EQ(parsePlist(nested("<array>", "</array>", 100'000)), std::nullopt);
}

TEST(XmlPlistTest, ValueCountIsBounded) {
  auto flat = [](std::size_t count) {
    std::string body = "<array>";
    for (std::size_t i = 0; i < count; ++i) body += "<true/>";
    return parsePlist(body + "</array>");
  };
  EXPECT_TRUE(flat(kMaxValues - 1).has_value());
  EXPECT_EQ(flat(kMaxValues), std::nullopt);
}

}  // namespace
}  // namespace vorla::plist
