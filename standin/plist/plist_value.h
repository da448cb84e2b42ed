#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "standin/plist/plist_integer.h"

namespace vorla::plist {

struct Date {
  double secondsSince2001 = 0;  // relative to 2001-01-01T00:00:00Z, as the format stores it
  bool operator==(const Date&) const = default;
};

struct Value;
struct Entry;
using Data = std::vector<std::uint8_t>;
using Array = std::vector<Value>;
// Keeps file order and one entry per key: a repeated key keeps its first position and takes
// the value of its last occurrence.
using Dictionary = std::vector<Entry>;

struct Value {
  std::variant<std::string, Integer, double, bool, Date, Data, Array, Dictionary> content;

  template <typename T>
  bool is() const {
    return std::holds_alternative<T>(content);
  }
  template <typename T>
  const T* get_if() const {
    return std::get_if<T>(&content);
  }
  template <typename T>
  T* get_if() {
    return std::get_if<T>(&content);
  }
  bool operator==(const Value&) const = default;
};

// Read like a map's pair. Not std::pair itself: deciding whether a pair holding a Value is
// default-constructible needs that of Value, which needs the pair complete, and clang
// follows that loop where GCC does not.
struct Entry {
  std::string first;
  Value second;
  bool operator==(const Entry&) const = default;
};

const Value* find(const Dictionary& dictionary, std::string_view key);

}  // namespace vorla::plist
