#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "standin/plist/plist_reader.h"

namespace vorla::plist::testing {

using Bytes = std::vector<std::uint8_t>;

inline std::string fixturePath(std::string_view name) {
  return std::string(VORLA_TEST_DATA_DIR) + "/plist/" + std::string(name);
}

inline Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

inline Bytes readFixture(std::string_view name) {
  return readFileBytes(fixturePath(name).c_str()).value_or(Bytes{});
}

inline std::optional<Value> parseText(std::string_view text) { return parse(bytesOf(text)); }

inline Value integer(Integer value) { return Value{value}; }
inline Value text(std::string value) { return Value{std::move(value)}; }

inline void putBigEndian(Bytes& bytes, std::size_t position, std::uint64_t value,
                         std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    bytes[position + i] = static_cast<std::uint8_t>(value >> (8 * (size - 1 - i)));
  }
}

// Binary objects written by hand, for the cases Python's writer never produces.
inline Bytes object(std::uint8_t marker, std::initializer_list<std::uint8_t> body = {}) {
  Bytes bytes{marker};
  bytes.insert(bytes.end(), body);
  return bytes;
}

// A container marker with its count, as the format encodes counts of 15 and more.
inline Bytes counted(std::uint8_t kind, std::uint64_t count) {
  if (count < 15) return {static_cast<std::uint8_t>(kind << 4 | count)};
  Bytes bytes{static_cast<std::uint8_t>(kind << 4 | 0xF), 0x13, 0, 0, 0, 0, 0, 0, 0, 0};
  putBigEndian(bytes, 2, count, 8);
  return bytes;
}

inline Bytes refsObject(std::uint8_t kind, std::uint64_t count,
                        const std::vector<std::uint64_t>& refs, std::uint8_t refSize = 1) {
  Bytes bytes = counted(kind, count);
  for (std::uint64_t ref : refs) {
    bytes.resize(bytes.size() + refSize);
    putBigEndian(bytes, bytes.size() - refSize, ref, refSize);
  }
  return bytes;
}

inline Bytes arrayObject(const std::vector<std::uint64_t>& refs, std::uint8_t refSize = 1) {
  return refsObject(0xA, refs.size(), refs, refSize);
}

// Key refs first, then value refs, as the format lays them out.
inline Bytes dictionaryObject(const std::vector<std::uint64_t>& keysThenValues) {
  return refsObject(0xD, keysThenValues.size() / 2, keysThenValues);
}

inline Bytes asciiObject(std::string_view text) {
  Bytes bytes = counted(0x5, text.size());
  bytes.insert(bytes.end(), text.begin(), text.end());
  return bytes;
}

struct BinaryPlistWriter {
  std::vector<Bytes> objects;
  std::uint8_t refSize = 1;
  std::uint64_t top = 0;

  Bytes bytes() const {
    Bytes out = bytesOf("bplist00");
    std::vector<std::uint64_t> offsets;
    for (const Bytes& object : objects) {
      offsets.push_back(out.size());
      out.insert(out.end(), object.begin(), object.end());
    }
    const std::uint64_t tableOffset = out.size();
    for (std::uint64_t offset : offsets) {
      out.resize(out.size() + 8);
      putBigEndian(out, out.size() - 8, offset, 8);
    }
    out.resize(out.size() + 32);
    const std::size_t trailer = out.size() - 32;
    out[trailer + 6] = 8;
    out[trailer + 7] = refSize;
    putBigEndian(out, trailer + 8, objects.size(), 8);
    putBigEndian(out, trailer + 16, top, 8);
    putBigEndian(out, trailer + 24, tableOffset, 8);
    return out;
  }
};

// Trailer fields, by their distance from the end of the file.
enum class TrailerField : std::size_t {
  kOffsetSize = 26,
  kRefSize = 25,
  kObjectCount = 24,
  kTopObject = 16,
  kTableOffset = 8,
};

inline void setTrailerField(Bytes& file, TrailerField field, std::uint64_t value) {
  const auto distance = static_cast<std::size_t>(field);
  putBigEndian(file, file.size() - distance, value, distance > 24 ? 1 : 8);
}

}  // namespace vorla::plist::testing
