// The fixtures under tests/data/plist were written by Python's plistlib (generate.py), once
// as XML and once as binary; both must read back to the same, independently stated values.
#include "standin/plist/plist_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "tests/standin/plist_test_support.h"

namespace vorla::plist {
namespace {

using testing::fixturePath;
using testing::integer;
using testing::text;

class PlistFixtureTest : public ::testing::TestWithParam<const char*> {
 protected:
  Value read(const std::string& name) {
    const auto value = readFile(fixturePath(name + "." + GetParam() + ".plist").c_str());
    EXPECT_TRUE(value.has_value()) << name;
    return value.value_or(Value{});
  }
};

TEST_P(PlistFixtureTest, EveryScalarKind) {
  Data bytes(256);
  for (int i = 0; i < 256; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  const Dictionary expected{
      {"data", Value{bytes}},   {"date", Value{Date{730902896.0}}},  // 2024-02-29T12:34:56Z
      {"integer", integer(42)}, {"no", Value{false}},
      {"real", Value{0.5}},     {"text", text("hello")},
      {"yes", Value{true}},
  };
  EXPECT_EQ(read("scalars"), Value{expected});
}

TEST_P(PlistFixtureTest, IntegersKeepSignAndFullRange) {
  constexpr std::uint64_t kUint64Max = std::numeric_limits<std::uint64_t>::max();
  constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
  const Array expected{integer(0),           integer(1),          integer(-1),
                       integer(255),         integer(256),        integer(65535),
                       integer(65536),       integer(4294967295), integer(4294967296),
                       integer(-2147483648), integer(kInt64Min),  integer(kInt64Max),
                       integer(kUint64Max)};
  EXPECT_EQ(read("integers"), Value{expected});
}

TEST_P(PlistFixtureTest, RealsIncludingInfinityAndNan) {
  const Value value = read("reals");
  const Array* reals = value.get_if<Array>();
  ASSERT_NE(reals, nullptr);
  const double expected[] = {0.5,    -1e300,   0.0,      1.5e-10, 3.141592653589793,
                             5e-324, INFINITY, -INFINITY};
  ASSERT_EQ(reals->size(), std::size(expected) + 1);
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    ASSERT_TRUE((*reals)[i].is<double>()) << i;
    EXPECT_EQ(*(*reals)[i].get_if<double>(), expected[i]) << i;
  }
  ASSERT_TRUE(reals->back().is<double>());
  EXPECT_TRUE(std::isnan(*reals->back().get_if<double>()));
}

TEST_P(PlistFixtureTest, DatesBeforeAndAfterTheEpoch) {
  const Array expected{Value{Date{0}}, Value{Date{-31622401}}, Value{Date{-978307200}},
                       Value{Date{1169176448}}};
  EXPECT_EQ(read("dates"), Value{expected});
}

TEST_P(PlistFixtureTest, StringsKeepEveryCharacter) {
  std::string longText;
  for (int i = 0; i < 1000; ++i) longText += "0123456789abcdef";
  const Dictionary expected{
      {"accented", text("h\u00e9llo w\u00f6rld")},
      {"ascii", text("plain ascii")},
      {"cjk", text("\u65e5\u672c\u8a9e")},
      {"emoji", text("smile \U0001F600 and \U0001D11E clef")},
      {"empty", text("")},
      {"long", text(longText)},
      {"markup", text("a & b < c > d \"quoted\" 'single'")},
      {"whitespace", text("  leading and trailing  \n\tlines\n")},
  };
  EXPECT_EQ(read("strings"), Value{expected});
}

TEST_P(PlistFixtureTest, NestedAndEmptyContainers) {
  const Value deepest{Dictionary{{"deep", Value{true}}}};
  const Value matrix{
      Array{Value{Array{integer(1), integer(2)}},
            Value{Array{integer(3), Value{Array{integer(4), Value{Array{integer(5), deepest}}}}}}}};
  const Value records{Array{
      Value{Dictionary{{"name", text("first")}, {"tags", Value{Array{text("a"), text("b")}}}}},
      Value{Dictionary{{"name", text("second")}, {"tags", Value{Array{}}}}}}};
  const Dictionary expected{
      {"empty_array", Value{Array{}}},
      {"empty_data", Value{Data{}}},
      {"empty_dict", Value{Dictionary{}}},
      {"matrix", matrix},
      {"records", records},
  };
  EXPECT_EQ(read("nested"), Value{expected});
}

TEST_P(PlistFixtureTest, ManyObjectsNeedWideReferences) {
  Array expected;
  for (int i = 1000; i < 1300; ++i) expected.push_back(integer(i));
  EXPECT_EQ(read("many_objects"), Value{expected});
}

INSTANTIATE_TEST_SUITE_P(BothFormats, PlistFixtureTest, ::testing::Values("xml", "binary"));

}  // namespace
}  // namespace vorla::plist
