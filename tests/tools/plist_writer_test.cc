// The writer, checked by reading back what it wrote: every fixture of the independent writer, in
// both formats, comes back unchanged.
#include "tools/common/plist_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>
#include <utility>

#include "standin/plist/plist_reader.h"

namespace vorla::plist {
namespace {

// Equality in which a NaN equals a NaN, as a written NaN must read back as one.
bool same(const Value& a, const Value& b) {
  if (auto* x = a.get_if<double>(), *y = b.get_if<double>(); x && y) {
    return (std::isnan(*x) && std::isnan(*y)) ||
           std::bit_cast<std::uint64_t>(*x) == std::bit_cast<std::uint64_t>(*y);
  }
  if (auto* x = a.get_if<Array>(), *y = b.get_if<Array>(); x && y) {
    return std::equal(x->begin(), x->end(), y->begin(), y->end(), same);
  }
  if (auto* x = a.get_if<Dictionary>(), *y = b.get_if<Dictionary>(); x && y) {
    return std::equal(x->begin(), x->end(), y->begin(), y->end(), [](const auto& p, const auto& q) {
      return p.first == q.first && same(p.second, q.second);
    });
  }
  return a == b;
}

class PlistWriterTest : public ::testing::TestWithParam<const char*> {};

TEST_P(PlistWriterTest, WhatIsWrittenReadsBackTheSame) {
  std::string path = std::string(VORLA_TEST_DATA_DIR) + "/plist/" + GetParam() + ".binary.plist";
  auto original = readFile(path.c_str());
  ASSERT_TRUE(original) << path;
  auto binary = writeBinary(*original);
  auto fromBinary = parse(binary);
  ASSERT_TRUE(fromBinary);
  EXPECT_TRUE(same(*fromBinary, *original));
  std::string xml = writeXml(*original);
  auto fromXml = parse({reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size()});
  ASSERT_TRUE(fromXml) << xml;
  EXPECT_TRUE(same(*fromXml, *original)) << xml;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PlistWriterTest,
                         ::testing::Values("dates", "integers", "many_objects", "nested", "reals",
                                           "scalars", "settings", "strings"));

TEST(PlistWriter, ValuesPlistlibNeverWrites) {
  Value value{Dictionary{{"negative zero", Value{-0.0}},
                         {"nan", Value{NAN}},
                         {"below int64", Value{Integer::fromWords(~std::uint64_t{0}, INT64_MAX)}},
                         {"fraction of a second", Value{Date{0.25}}}}};
  auto binary = parse(writeBinary(value));
  ASSERT_TRUE(binary);
  const auto& entries = *binary->get_if<Dictionary>();
  EXPECT_TRUE(std::signbit(*entries[0].second.get_if<double>()));
  EXPECT_TRUE(std::isnan(*entries[1].second.get_if<double>()));
  EXPECT_EQ(entries[2].second, value.get_if<Dictionary>()->at(2).second);
  EXPECT_EQ(entries[3].second, value.get_if<Dictionary>()->at(3).second);
}

TEST(PlistWriter, XmlKeepsCarriageReturnsInTextsAndKeys) {
  Value value{Dictionary{{"a\rkey", Value{std::string("one\rtwo\r\nthree\n")}}}};
  std::string xml = writeXml(value);
  EXPECT_EQ(parse({reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size()}), value) << xml;
}

TEST(PlistWriter, XmlDatesAreWholeSecondsOfFourDigitYearsWithinTheFormsRange) {
  const std::pair<double, const char*> dates[] = {
      {-32061830400.0, "0985-01-01T00:00:00Z"},  // from Python's datetime
      {-0.25, "2000-12-31T23:59:59Z"},
      {0.75, "2001-01-01T00:00:00Z"},
      {-1e300, "0000-01-01T00:00:00Z"},
      {-INFINITY, "0000-01-01T00:00:00Z"},
      {1e300, "9999-12-31T23:59:59Z"},
      {INFINITY, "9999-12-31T23:59:59Z"},
      {NAN, "2001-01-01T00:00:00Z"},
  };
  for (auto [seconds, expected] : dates) {
    std::string xml = writeXml(Value{Date{seconds}});
    EXPECT_NE(xml.find(std::string("<date>") + expected + "</date>"), std::string::npos) << xml;
    EXPECT_TRUE(parse({reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size()})) << xml;
  }
}

}  // namespace
}  // namespace vorla::plist
