#include "standin/text/colour_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string_view>

#include "tests/standin/comma_locale.h"

namespace vorla::text {

void PrintTo(const Rgba& c, std::ostream* os) {
  *os << formatColourText(c) << " (" << c.red << ", " << c.green << ", " << c.blue << ", "
      << c.alpha << ")";
}

namespace {

Rgba bytes(int red, int green, int blue, int alpha = 255) {
  return {red / 255.0, green / 255.0, blue / 255.0, alpha / 255.0};
}

struct Case {
  std::string_view text;
  Rgba expected;
};

void expectParses(const Case& c) { EXPECT_EQ(parseColourText(c.text), c.expected) << c.text; }

void expectRejects(std::string_view text) {
  EXPECT_EQ(parseColourText(text), std::nullopt) << '"' << text << '"';
}

TEST(ParseColourText, ReadsHexForms) {
  for (const Case& c :
       {Case{"#ff0000", {1, 0, 0, 1}}, Case{"#00FF00", {0, 1, 0, 1}},
        Case{"#AbCdEf", bytes(0xab, 0xcd, 0xef)}, Case{"#f80", bytes(255, 0x88, 0)},
        Case{"#FFF", {1, 1, 1, 1}}, Case{"#000", {0, 0, 0, 1}},
        Case{"#11223344", bytes(0x11, 0x22, 0x33, 0x44)}, Case{"#ff000080", bytes(255, 0, 0, 0x80)},
        Case{"  #0000ff\n", {0, 0, 1, 1}}}) {
    expectParses(c);
  }
  for (std::string_view text :
       {"", "   ", "#", "#ff00", "#ggg", "#ff0000ff00", "#12345", "#1234567", "##ff0000", "ff0000",
        "# fff", "#ff 000", "#0x1234", "#fffffg", "#ff0000f"}) {
    expectRejects(text);
  }
}

TEST(ParseColourText, ReadsPickerAlphaClampedToUnitRange) {
  for (const Case& c : {Case{"#ff0000:0.5", {1, 0, 0, 0.5}}, Case{"#ff0000:1.7", {1, 0, 0, 1}},
                        Case{"#ff0000:-3", {1, 0, 0, 0}}, Case{"#00ff00:0", {0, 1, 0, 0}},
                        Case{"#0000FF:+0.25", {0, 0, 1, 0.25}},
                        Case{"#0000ff:1e-1", {0, 0, 1, 0.1}}, Case{"#ffffff:inf", {1, 1, 1, 1}},
                        Case{"#ffffff:-inf", {1, 1, 1, 0}}, Case{" #ffffff:1 ", {1, 1, 1, 1}}}) {
    expectParses(c);
  }
  for (std::string_view text :
       {"#ff0000:", "#ff0000:nan", "#ff0000:-NaN", "#ff0000:abc", "#ff0000:0,5", "#f00:0.5",
        "#ff0000ff:0.5", "#ff0000:0.5:1", "#:0.5", "#ff0000:0.5x", "#ff00:0.5"}) {
    expectRejects(text);
  }
}

TEST(ParseColourText, ReadsRgbFunctions) {
  for (const Case& c :
       {Case{"rgb(255, 0, 0)", {1, 0, 0, 1}}, Case{"RGB(0,128,255)", bytes(0, 128, 255)},
        Case{"rgba(0, 0, 0, 0.5)", {0, 0, 0, 0.5}},
        Case{"  rgb( 10 , 20 , 30 )  ", bytes(10, 20, 30)},
        Case{"rgb(127.5, 0, 0)", {0.5, 0, 0, 1}}, Case{"Rgba(1,2,3,0)", bytes(1, 2, 3, 0)},
        Case{"rgba(255,255,255,1)", {1, 1, 1, 1}}, Case{"rgb(1e2,0,0)", bytes(100, 0, 0)}}) {
    expectParses(c);
  }
  for (std::string_view text : {"rgb(1,2)",          "rgb(1,2,3,4)",    "rgba(1,2,3)",
                                "rgba(1,2,3,0.5,1)", "rgb(256,0,0)",    "rgb(-1,0,0)",
                                "rgb(255.01,0,0)",   "rgba(0,0,0,1.5)", "rgba(0,0,0,-0.1)",
                                "rgb(nan,0,0)",      "rgba(0,0,0,nan)", "rgb(inf,0,0)",
                                "rgb(1,,3)",         "rgb(1,2,3,)",     "rgb(1,2,3",
                                "rgb 1,2,3)",        "rgb(1;2;3)",      "hsl(1,2,3)",
                                "rgb(1,2,3))",       "rgb()",           "()",
                                "rgb(1,2,3)x",       "rgb(0x10,0,0)",   "rgb(1 2,3,4)",
                                "rgb (1,2,3)"}) {
    expectRejects(text);
  }
}

// The caller's class methods look these up by name; the odd values are the easiest to mistype.
TEST(NamedColour, MatchesThePlatformValuesInAnyCase) {
  const double third = 1.0 / 3.0;
  for (std::string_view name :
       {"orange", "red", "white", "gray", "black", "cyan", "blue", "yellow", "BLACK", "Cyan"}) {
    EXPECT_TRUE(namedColour(name).has_value()) << name;
  }
  for (const Case& c : {Case{"darkGray", {third, third, third, 1}},
                        Case{"LIGHTGRAY", {2 * third, 2 * third, 2 * third, 1}},
                        Case{"Orange", {1, 0.5, 0, 1}}, Case{"brown", {0.6, 0.4, 0.2, 1}},
                        Case{"clear", {0, 0, 0, 0}}, Case{" Purple\t", {0.5, 0, 0.5, 1}}}) {
    EXPECT_EQ(parseColourText(c.text), c.expected) << c.text;
  }
  for (std::string_view name : {"", "grey", "dark gray", "orangered", " red", "re", "redd"}) {
    EXPECT_EQ(namedColour(name), std::nullopt) << '"' << name << '"';
  }
}

TEST(ParseColourText, IgnoresTheProcessLocale) {
  testing::CommaDecimalLocale locale;
  if (!locale.active()) GTEST_SKIP() << "no comma-decimal locale available";
  expectParses({"#ff0000:0.5", {1, 0, 0, 0.5}});
  expectParses({"rgba(127.5, 0, 0, 0.25)", {0.5, 0, 0, 0.25}});
  expectRejects("#ff0000:0,5");
}

TEST(FormatColourText, WritesLowercaseHexOmittingFullAlpha) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    Rgba colour;
    std::string_view expected;
  } cases[] = {
      {{1, 0, 0, 1}, "#ff0000"},
      {{0, 0.5, 1, 1}, "#0080ff"},
      {{1, 0, 0, 0.5}, "#ff000080"},
      {{0, 0, 0, 0}, "#00000000"},
      {*namedColour("darkGray"), "#555555"},
      {*namedColour("lightGray"), "#aaaaaa"},
      {{2, -1, nan, 1}, "#ff0000"},
      {{0.2, 0.4, 0.6, nan}, "#33669900"},
      {{0xab / 255.0, 0xcd / 255.0, 0xef / 255.0, 0.999}, "#abcdef"},
      {{1, 1, 1, 0.997}, "#fffffffe"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatColourText(c.colour), c.expected) << c.expected;
}

}  // namespace
}  // namespace vorla::text
