#include "standin/text/foundation_conversions.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "standin/plist/plist_integer.h"
#include "tests/standin/comma_locale.h"

namespace vorla::text {
namespace {

constexpr long long kMax = std::numeric_limits<long long>::max();
constexpr long long kMin = std::numeric_limits<long long>::min();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Bit patterns, so that -0.0 and 0.0 differ.
std::uint64_t bits(double value) { return std::bit_cast<std::uint64_t>(value); }

TEST(TextBoolValue, ReadsTheFirstCharacterAfterSignAndZeros) {
  for (std::string_view text : {"YES", "yes", "Y", "true", "True", "t", "1", "9", "  +007", "-1",
                                " \t\n\v\f\r y", "00y", "+T", "2 apples"}) {
    EXPECT_TRUE(textBoolValue(text)) << '"' << text << '"';
  }
  for (std::string_view text : {"NO", "no", "false", "0", "000", "", "   ", "x", "0.5", "-0", "+",
                                "+-1", "0 1", ".9", "\xc2\xa0y", "N"}) {
    EXPECT_FALSE(textBoolValue(text)) << '"' << text << '"';
  }
}

TEST(TextLongLongValue, ReadsLeadingDecimalDigits) {
  const struct {
    std::string_view text;
    long long expected;
  } cases[] = {
      {"0", 0},     {"42", 42}, {"  -17abc", -17}, {"+5", 5},  {"010", 10},
      {"0x10", 0},  {"", 0},    {"abc", 0},        {"- 5", 0}, {"+-5", 0},
      {"12.9", 12}, {"1e5", 1}, {"\n\t 7", 7},     {"-0", 0},  {"00000000000000000000009", 9},
  };
  for (const auto& c : cases) EXPECT_EQ(textLongLongValue(c.text), c.expected) << c.text;
}

TEST(TextLongLongValue, SaturatesAtTheLimits) {
  const struct {
    std::string_view text;
    long long expected;
  } cases[] = {
      {"9223372036854775806", kMax - 1},  {"9223372036854775807", kMax},
      {"9223372036854775808", kMax},      {"99999999999999999999999999", kMax},
      {"-9223372036854775807", kMin + 1}, {"-9223372036854775808", kMin},
      {"-9223372036854775809", kMin},     {"-99999999999999999999999999", kMin},
      {"18446744073709551616", kMax},     {"92233720368547758070", kMax},
  };
  for (const auto& c : cases) EXPECT_EQ(textLongLongValue(c.text), c.expected) << c.text;
}

TEST(TextDoubleValue, ReadsTheLongestNumberPrefix) {
  const struct {
    std::string_view text;
    double expected;
  } cases[] = {
      {"1.5", 1.5}, {"  -2.25e2xyz", -225},
      {"+.5", 0.5}, {"1.", 1},
      {".5", 0.5},  {".", 0},
      {"1e", 1},    {"1e+", 1},
      {"1,5", 1},   {"0x10", 0},
      {"+-1", 0},   {"", 0},
      {"abc", 0},   {"\t\n 3", 3},
      {"- 3", 0},   {"-", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(textDoubleValue(c.text), c.expected) << c.text;
}

TEST(TextDoubleValue, ReadsInfinityAndNanInAnyCase) {
  for (std::string_view text : {"inf", "INF", "+iNfInItY", "infinity", "infin", " inf "}) {
    EXPECT_EQ(textDoubleValue(text), kInf) << text;
  }
  EXPECT_EQ(textDoubleValue("-Infinity"), -kInf);
  for (std::string_view text : {"nan", "-NaN", "NAN(123)", "nanx"}) {
    EXPECT_TRUE(std::isnan(textDoubleValue(text))) << text;
  }
  EXPECT_EQ(textDoubleValue("in"), 0.0);
  EXPECT_EQ(textDoubleValue("na"), 0.0);
}

// strtod in the C locale is the reference for rounding, overflow and underflow.
TEST(TextDoubleValue, AgreesWithStrtodAtTheEdgesOfTheRange) {
  const std::string maxPlusHalfUlp =
      "17976931348623158079372897140530341507993413271003782693617377898044496829276475094664901"
      "79775872070963302864166928879109465555478519404026306574886715058206819089020007083836762"
      "73854845817711531764475730270069855571366959622842914819860834936475292719074168444365510"
      "704342711559699508093042880177904174497792";
  const auto expectAgrees = [](const std::string& text) {
    EXPECT_EQ(bits(textDoubleValue(text)), bits(std::strtod(text.c_str(), nullptr))) << text;
  };
  for (const char* text :
       {"1e308", "1e309", "-1e400", "1.7976931348623157e308", "1.7976931348623159e308", "1000e305",
        "1000e306", "0.001e311", "0.001e312", "0.00000000001e319", "0.00000000001e320",
        "1e99999999999999999999999"}) {
    expectAgrees(text);
  }
  for (const char* text : {"1e-400", "-1e-400", "1e-310", "1e-324", "2.5e-324", "123456789e-330",
                           "-1e-99999999999999999999999", "0e99999", "-0"}) {
    expectAgrees(text);
  }
  expectAgrees(maxPlusHalfUlp);
  expectAgrees(maxPlusHalfUlp + "e-1");
  expectAgrees(std::string(400, '0') + "1." + std::string(300, '0') + "1e-2");
}

TEST(TextNumber, AcceptsExactlyOneNumberWithSurroundingWhitespace) {
  const struct {
    std::string_view text;
    double expected;
  } accepted[] = {
      {"42", 42},    {" 1.5 ", 1.5}, {"+3", 3},       {"-0.25\n", -0.25},
      {"1e3", 1000}, {"inf", kInf},  {"1e999", kInf},
  };
  for (const auto& c : accepted) EXPECT_EQ(textNumber(c.text), c.expected) << c.text;
  EXPECT_TRUE(std::isnan(textNumber("NaN").value_or(0)));
  for (std::string_view text : {"", "  ", "1.5x", "1,5", "1 2", "--1", "+-1", "1e", ".", "0x10",
                                "infin", "nan(", "+", "- 1"}) {
    EXPECT_EQ(textNumber(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(TextConversions, IgnoreTheProcessLocale) {
  testing::CommaDecimalLocale locale;
  if (!locale.active()) GTEST_SKIP() << "no comma-decimal locale available";
  ASSERT_EQ(std::strtod("1,5", nullptr), 1.5) << "the locale should affect the C library";

  EXPECT_EQ(textDoubleValue("1.5"), 1.5);
  EXPECT_EQ(textDoubleValue("1,5"), 1.0);
  EXPECT_EQ(textNumber("2.5e1"), 25.0);
  EXPECT_EQ(textNumber("2,5"), std::nullopt);
  EXPECT_EQ(textLongLongValue("1.000"), 1);
}

TEST(RealLongLongValue, TruncatesAndSaturates) {
  const double twoTo63 = 9223372036854775808.0;
  const double belowTwoTo63 = std::nextafter(twoTo63, 0.0);
  const struct {
    double value;
    long long expected;
  } cases[] = {
      {0.0, 0},
      {1.9, 1},
      {-1.9, -1},
      {-0.5, 0},
      {belowTwoTo63, 9223372036854774784LL},
      {twoTo63, kMax},
      {1e300, kMax},
      {kInf, kMax},
      {-twoTo63, kMin},
      {std::nextafter(-twoTo63, 0.0), -9223372036854774784LL},
      {-1e300, kMin},
      {-kInf, kMin},
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {-std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(realLongLongValue(c.value), c.expected) << c.value;
}

TEST(IntegerLongLongValue, NarrowsWithSaturation) {
  using plist::Integer;
  const Integer aboveMax{static_cast<std::uint64_t>(kMax) + 1};
  const Integer belowMin = Integer::fromWords(~std::uint64_t{0}, kMax);
  const Integer twoTo100 = Integer::fromWords(std::uint64_t{1} << 36, 0);
  const struct {
    Integer value;
    long long expected;
  } cases[] = {{0, 0},           {-7, -7},     {kMax, kMax},     {aboveMax, kMax},
               {twoTo100, kMax}, {kMin, kMin}, {belowMin, kMin}, {twoTo100.negated(), kMin}};
  for (const auto& c : cases) EXPECT_EQ(c.value.saturatedLongLong(), c.expected) << c.expected;
}

TEST(IntegerDoubleValue, RoundsToNearestBeyond64Bits) {
  using plist::Integer;
  EXPECT_EQ(Integer{kMin}.toDouble(), -0x1p63);
  EXPECT_EQ(Integer{-3}.toDouble(), -3.0);
  EXPECT_EQ(Integer{~std::uint64_t{0}}.toDouble(), 0x1p64);
  // 2^100 + 2^47 lies halfway between two doubles and goes to the even one; one more is nearer
  // the upper one.
  const Integer halfway = Integer::fromWords(std::uint64_t{1} << 36, std::uint64_t{1} << 47);
  EXPECT_EQ(halfway.toDouble(), 0x1p100);
  EXPECT_EQ(Integer::fromWords(halfway.high(), halfway.low() + 1).toDouble(), 0x1p100 + 0x1p48);
  EXPECT_EQ(Integer::fromWords(halfway.high(), halfway.low() + 1).negated().toDouble(),
            -(0x1p100 + 0x1p48));
}

}  // namespace
}  // namespace vorla::text
