// libplist as an independent reader of the valid fixtures. Its 2.2.0 release has defects that
// the comparison steps around: every integer is a uint64 (so only the low 64 bits are
// compared; sign and 16-byte values are checked against plistlib in plist_reader_test), XML
// reals go through the process locale (these tests run in the C locale), and XML integers are
// read with base 0 (no fixture has a leading zero).
#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "device/plist/plist_reader.h"
#include "tests/device/plist_test_support.h"

namespace vorla::plist {
namespace {

using testing::readFixture;

struct PlistFree {
  void operator()(plist_t node) const { plist_free(node); }
};
using PlistHandle = std::unique_ptr<void, PlistFree>;

void expectSame(const Value& ours, plist_t theirs, const std::string& where) {
  SCOPED_TRACE(where);
  switch (plist_get_node_type(theirs)) {
    case PLIST_BOOLEAN: {
      std::uint8_t flag = 0;
      plist_get_bool_val(theirs, &flag);
      EXPECT_EQ(ours, Value{flag != 0});
      break;
    }
    case PLIST_UINT: {
      std::uint64_t number = 0;
      plist_get_uint_val(theirs, &number);
      ASSERT_TRUE(ours.is<Integer>());
      EXPECT_EQ(static_cast<std::uint64_t>(ours.get_if<Integer>()->value), number);
      break;
    }
    case PLIST_REAL: {
      double real = 0;
      plist_get_real_val(theirs, &real);
      ASSERT_TRUE(ours.is<double>());
      if (std::isnan(real)) {
        EXPECT_TRUE(std::isnan(*ours.get_if<double>()));
      } else {
        EXPECT_EQ(*ours.get_if<double>(), real);
      }
      break;
    }
    case PLIST_DATE: {
      std::int32_t seconds = 0;
      std::int32_t micros = 0;
      plist_get_date_val(theirs, &seconds, &micros);
      EXPECT_EQ(ours, Value{Date{seconds + micros / 1e6}});
      break;
    }
    case PLIST_STRING: {
      std::uint64_t length = 0;
      const char* text = plist_get_string_ptr(theirs, &length);
      EXPECT_EQ(ours, Value{std::string(text, length)});
      break;
    }
    case PLIST_DATA: {
      std::uint64_t length = 0;
      const auto* bytes =
          reinterpret_cast<const std::uint8_t*>(plist_get_data_ptr(theirs, &length));
      EXPECT_EQ(ours, Value{Data(bytes, bytes + length)});
      break;
    }
    case PLIST_ARRAY: {
      const Array* items = ours.get_if<Array>();
      ASSERT_NE(items, nullptr);
      ASSERT_EQ(items->size(), plist_array_get_size(theirs));
      for (std::uint32_t i = 0; i < items->size(); ++i) {
        expectSame((*items)[i], plist_array_get_item(theirs, i), where + "/" + std::to_string(i));
      }
      break;
    }
    case PLIST_DICT: {
      const Dictionary* entries = ours.get_if<Dictionary>();
      ASSERT_NE(entries, nullptr);
      ASSERT_EQ(entries->size(), plist_dict_get_size(theirs));
      for (const auto& [key, value] : *entries) {
        const plist_t item = plist_dict_get_item(theirs, key.c_str());
        ASSERT_NE(item, nullptr) << key;
        expectSame(value, item, where + "/" + key);
      }
      break;
    }
    default:
      ADD_FAILURE() << "unexpected libplist node type " << plist_get_node_type(theirs);
  }
}

class PlistOracleTest : public ::testing::TestWithParam<const char*> {};

TEST_P(PlistOracleTest, BothFormatsAgreeWithLibplist) {
  for (const char* format : {"xml", "binary"}) {
    const std::string name = std::string(GetParam()) + "." + format + ".plist";
    const auto bytes = readFixture(name);
    ASSERT_FALSE(bytes.empty()) << name;
    plist_t theirs = nullptr;
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    const auto size = static_cast<std::uint32_t>(bytes.size());
    if (std::string_view(format) == "xml") {
      plist_from_xml(data, size, &theirs);
    } else {
      plist_from_bin(data, size, &theirs);
    }
    const PlistHandle owner(theirs);
    ASSERT_NE(theirs, nullptr) << name;
    const auto ours = parse(bytes);
    ASSERT_TRUE(ours.has_value()) << name;
    expectSame(*ours, theirs, name);
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PlistOracleTest,
                         ::testing::Values("scalars", "integers", "reals", "dates", "strings",
                                           "nested", "many_objects", "settings"));

}  // namespace
}  // namespace vorla::plist
