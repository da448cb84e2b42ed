// Binary files written by hand: forms Python's writer never produces, and hostile files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "standin/plist/plist_reader.h"
#include "tests/standin/plist_test_support.h"

namespace vorla::plist {
namespace {

using testing::arrayObject;
using testing::asciiObject;
using testing::BinaryPlistWriter;
using testing::Bytes;
using testing::counted;
using testing::dictionaryObject;
using testing::integer;
using testing::object;
using testing::readFixture;
using testing::setTrailerField;
using testing::text;
using testing::TrailerField;

std::optional<Value> single(Bytes object) {
  return parse(BinaryPlistWriter{{std::move(object)}}.bytes());
}

TEST(BinaryPlistTest, ScalarFormsOtherWritersUse) {
  EXPECT_EQ(single(object(0x10, {0xFF})), integer(255));
  EXPECT_EQ(single(object(0x11, {0xFF, 0xFE})), integer(65534));
  EXPECT_EQ(single(object(0x12, {0xFF, 0xFF, 0xFF, 0xFF})), integer(4294967295));
  EXPECT_EQ(single(object(0x13, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE})), integer(-2));
  const Integer minus2To64 = Integer::fromWords(~std::uint64_t{0}, 0);
  EXPECT_EQ(single(object(
                0x14, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0})),
            integer(minus2To64));
  EXPECT_EQ(single(object(0x22, {0x3F, 0xC0, 0, 0})), Value{1.5});  // 4-byte float
  const auto negativeZero = single(object(0x23, {0x80, 0, 0, 0, 0, 0, 0, 0}));
  ASSERT_TRUE(negativeZero && negativeZero->is<double>());
  EXPECT_TRUE(std::signbit(*negativeZero->get_if<double>()));
  EXPECT_EQ(single(object(0x33, {0xC0, 0x59, 0, 0, 0, 0, 0, 0})), Value{Date{-100}});
  EXPECT_EQ(single(object(0x08)), Value{false});
  EXPECT_EQ(single(object(0x09)), Value{true});
  EXPECT_EQ(single(object(0x42, {1, 2})), (Value{Data{1, 2}}));
}

TEST(BinaryPlistTest, Utf16UnpairedSurrogatesBecomeReplacementCharacters) {
  // "A", lone high surrogate, "B", lone low surrogate, a proper pair (U+1F600), high at the end.
  const Bytes units = object(
      0x67, {0x00, 0x41, 0xD8, 0x3D, 0x00, 0x42, 0xDE, 0x00, 0xD8, 0x3D, 0xDE, 0x00, 0xD8, 0x00});
  EXPECT_EQ(single(units), text("A\uFFFDB\uFFFD\U0001F600\uFFFD"));
}

TEST(BinaryPlistTest, RepeatedKeysKeepFirstPlaceAndLastValue) {
  const BinaryPlistWriter file{{dictionaryObject({1, 2, 1, 3, 4, 5}), asciiObject("a"),
                                asciiObject("b"), object(0x10, {1}), object(0x10, {2}),
                                object(0x10, {3})}};
  EXPECT_EQ(parse(file.bytes()), (Value{Dictionary{{"a", integer(3)}, {"b", integer(2)}}}));
}

TEST(BinaryPlistTest, RejectsObjectsWithoutAPlaceInTheValueTree) {
  for (const Bytes& rejected : {object(0x00), object(0x0F), object(0x80, {1}),  // null, fill, UID
                                object(0xC1, {0}), object(0xB1, {0}),           // set, ordered set
                                object(0x71, {'a'}), object(0x15, {}),  // UTF-8, 32-byte int
                                object(0x21, {0, 0}), object(0x32, {0, 0, 0, 0}),
                                object(0x51, {0x80}), object(0xE0), object(0x0C)}) {
    EXPECT_EQ(single(rejected), std::nullopt) << int(rejected[0]);
  }
  const BinaryPlistWriter numberKey{{dictionaryObject({1, 1}), object(0x10, {1})}};
  EXPECT_EQ(parse(numberKey.bytes()), std::nullopt);
}

TEST(BinaryPlistTest, EveryTruncationOfAValidFileIsRejected) {
  const Bytes file = readFixture("settings.binary.plist");
  ASSERT_TRUE(parse(file).has_value());
  for (std::size_t length = 0; length < file.size(); ++length) {
    // A cut file has lost its trailer, so no prefix may be taken for a whole file.
    EXPECT_EQ(parse(std::span(file).first(length)), std::nullopt) << length;
  }
}

TEST(BinaryPlistTest, RejectsCorruptTrailers) {
  const Bytes valid = BinaryPlistWriter{{arrayObject({1}), object(0x10, {7})}}.bytes();
  ASSERT_EQ(parse(valid), (Value{Array{integer(7)}}));
  const std::pair<TrailerField, std::uint64_t> corruptions[] = {
      {TrailerField::kOffsetSize, 0},
      {TrailerField::kOffsetSize, 9},
      {TrailerField::kOffsetSize, 255},
      {TrailerField::kRefSize, 0},
      {TrailerField::kRefSize, 9},
      {TrailerField::kObjectCount, 0},
      {TrailerField::kObjectCount, 3},
      {TrailerField::kObjectCount, UINT64_MAX},
      {TrailerField::kObjectCount, 1ull << 61},
      {TrailerField::kTopObject, 2},
      {TrailerField::kTopObject, UINT64_MAX},
      {TrailerField::kTableOffset, 0},
      {TrailerField::kTableOffset, 8},
      {TrailerField::kTableOffset, valid.size()},
      {TrailerField::kTableOffset, UINT64_MAX},
      {TrailerField::kTableOffset, 9},
  };
  for (const auto& [field, value] : corruptions) {
    Bytes file = valid;
    setTrailerField(file, field, value);
    EXPECT_EQ(parse(file), std::nullopt) << static_cast<int>(field) << " = " << value;
  }
}

TEST(BinaryPlistTest, RejectsOffsetsOutsideTheObjectArea) {
  for (std::uint64_t offset : {std::uint64_t{0}, std::uint64_t{7}, std::uint64_t{12},
                               std::uint64_t{1} << 40, UINT64_MAX}) {
    Bytes file = BinaryPlistWriter{{arrayObject({1}), object(0x10, {7})}}.bytes();
    testing::putBigEndian(file, file.size() - 32 - 8, offset, 8);  // second table entry
    EXPECT_EQ(parse(file), std::nullopt) << offset;
  }
}

TEST(BinaryPlistTest, RejectsReferencesAndLengthsPastTheirBounds) {
  EXPECT_EQ(parse(BinaryPlistWriter{{arrayObject({1})}}.bytes()), std::nullopt);
  EXPECT_EQ(parse(BinaryPlistWriter{{arrayObject({1, 5}), object(0x09)}}.bytes()), std::nullopt);
  // Counts that only fit the file if multiplied with wrap-around.
  for (std::uint64_t count :
       {UINT64_MAX, UINT64_MAX / 2 + 1, std::uint64_t{1} << 63, std::uint64_t{3}}) {
    Bytes array = counted(0xA, count);
    array.push_back(0);
    EXPECT_EQ(single(array), std::nullopt) << count;
    Bytes data = counted(0x4, count);
    data.push_back(0);
    EXPECT_EQ(single(data), std::nullopt) << count;
    Bytes utf16 = counted(0x6, count);
    utf16.insert(utf16.end(), {0, 'a'});
    EXPECT_EQ(single(utf16), std::nullopt) << count;
  }
  EXPECT_EQ(single(object(0x4F, {0x14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 7})),
            std::nullopt);                                                  // a 16-byte count
  EXPECT_EQ(single(object(0x4F, {0x22, 0x3F, 0xC0, 0, 0})), std::nullopt);  // a real as count
  EXPECT_EQ(single(object(0x4F, {0x11, 0})), std::nullopt);                 // truncated count
}

TEST(BinaryPlistTest, RejectsCycles) {
  EXPECT_EQ(parse(BinaryPlistWriter{{arrayObject({0})}}.bytes()), std::nullopt);
  EXPECT_EQ(
      parse(BinaryPlistWriter{{arrayObject({1}), arrayObject({2}), arrayObject({0})}}.bytes()),
      std::nullopt);
  EXPECT_EQ(parse(BinaryPlistWriter{{dictionaryObject({1, 0}), asciiObject("self")}}.bytes()),
            std::nullopt);
}

TEST(BinaryPlistTest, SharedObjectsAreCopiedWithinBounds) {
  // Two arrays sharing one string and one array is a valid tree once copied out.
  const BinaryPlistWriter shared{{arrayObject({1, 1, 2}), arrayObject({2, 2}), asciiObject("x")}};
  EXPECT_EQ(parse(shared.bytes()), (Value{Array{Value{Array{text("x"), text("x")}},
                                                Value{Array{text("x"), text("x")}}, text("x")}}));

  // Each level refers twice to the one below: 2^64 values, so without the value budget this
  // would never return.
  BinaryPlistWriter doubling;
  for (std::uint64_t level = 0; level < 64; ++level) {
    doubling.objects.push_back(arrayObject({level + 1, level + 1}));
  }
  doubling.objects.push_back(object(0x09));
  EXPECT_EQ(parse(doubling.bytes()), std::nullopt);

  // One megabyte of data shared a hundred times would produce 100 MB.
  BinaryPlistWriter wide{{arrayObject(std::vector<std::uint64_t>(100, 1)), counted(0x4, 1 << 20)}};
  wide.objects[1].resize(wide.objects[1].size() + (1 << 20));
  EXPECT_EQ(parse(wide.bytes()), std::nullopt);
  wide.objects[0] = arrayObject(std::vector<std::uint64_t>(kMaxPayloadBytes >> 20, 1));
  EXPECT_TRUE(parse(wide.bytes()).has_value());
}

BinaryPlistWriter nestedArrays(std::size_t depth) {
  BinaryPlistWriter file{.objects = {}, .refSize = 4};
  for (std::size_t level = 0; level < depth; ++level) {
    file.objects.push_back(arrayObject(
        level + 1 < depth ? std::vector<std::uint64_t>{level + 1} : std::vector<std::uint64_t>{},
        4));
  }
  return file;
}

TEST(BinaryPlistTest, NestingDepthIsBounded) {
  EXPECT_TRUE(parse(nestedArrays(kMaxDepth).bytes()).has_value());
  EXPECT_EQ(parse(nestedArrays(kMaxDepth + 1).bytes()), std::nullopt);
  EXPECT_EQ(parse(nestedArrays(100'000).bytes()), std::nullopt);
}

TEST(BinaryPlistTest, ValueCountIsBounded) {
  // The same empty array referred to from a flat array: cheap to store, costly to expand.
  auto flat = [](std::size_t count) {
    return BinaryPlistWriter{
        {arrayObject(std::vector<std::uint64_t>(count, 1), 4), arrayObject({})}, 4};
  };
  EXPECT_TRUE(parse(flat(kMaxValues - 1).bytes()).has_value());
  EXPECT_EQ(parse(flat(kMaxValues).bytes()), std::nullopt);
}

}  // namespace
}  // namespace vorla::plist
