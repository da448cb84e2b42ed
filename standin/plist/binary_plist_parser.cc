#include "standin/plist/binary_plist_parser.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "standin/plist/parse_budget.h"
#include "standin/plist/unique_keys.h"
#include "standin/plist/utf16.h"

namespace vorla::plist::detail {
namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kTrailerSize = 32;

using Bytes = std::span<const std::uint8_t>;

std::uint64_t readUnsigned(Bytes bytes) {
  std::uint64_t value = 0;
  for (std::uint8_t byte : bytes) value = (value << 8) | byte;
  return value;
}

// readTrailer confines every offset to the object area, and each object is read no further than
// the end of that area, with every count checked against what is left of it.
class BinaryParser {
 public:
  explicit BinaryParser(Bytes bytes) : bytes_(bytes) {}

  std::optional<Value> run() {
    if (!readTrailer()) return std::nullopt;
    return parseObject(topObject_, 0);
  }

 private:
  bool readTrailer() {
    if (bytes_.size() < kHeaderSize + kTrailerSize) return false;
    const Bytes trailer = bytes_.last(kTrailerSize);
    offsetSize_ = trailer[6];
    refSize_ = trailer[7];
    objectCount_ = readUnsigned(trailer.subspan(8, 8));
    topObject_ = readUnsigned(trailer.subspan(16, 8));
    const std::uint64_t tableOffset = readUnsigned(trailer.subspan(24, 8));
    const std::size_t tableEnd = bytes_.size() - kTrailerSize;

    if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8) return false;
    if (tableOffset <= kHeaderSize || tableOffset > tableEnd) return false;
    objectAreaEnd_ = tableOffset;
    if (objectCount_ == 0 || objectCount_ > (tableEnd - objectAreaEnd_) / offsetSize_) {
      return false;
    }
    if (topObject_ >= objectCount_) return false;
    for (std::uint64_t ref = 0; ref < objectCount_; ++ref) {
      const std::uint64_t offset = objectOffset(ref);
      if (offset < kHeaderSize || offset >= objectAreaEnd_) return false;
    }
    return true;
  }

  std::uint64_t objectOffset(std::uint64_t ref) const {
    return readUnsigned(bytes_.subspan(objectAreaEnd_ + ref * offsetSize_, offsetSize_));
  }

  std::optional<Value> parseObject(std::uint64_t ref, std::size_t depth) {
    if (!budget_.takeValue()) return std::nullopt;
    const std::size_t offset = objectOffset(ref);
    const std::uint8_t marker = bytes_[offset];
    const std::uint8_t info = marker & 0x0F;
    const Bytes body = bytes_.subspan(offset + 1, objectAreaEnd_ - offset - 1);

    switch (marker >> 4) {
      case 0x0:
        if (marker == 0x08) return Value{false};
        if (marker == 0x09) return Value{true};
        return std::nullopt;  // null, fill and unknown singletons have no value here
      case 0x1:
        return parseInteger(info, body);
      case 0x2:
        return parseReal(info, body);
      case 0x3:
        if (info != 3 || body.size() < 8) return std::nullopt;
        return Value{Date{std::bit_cast<double>(readUnsigned(body.first(8)))}};
      case 0x4:
        return parseData(info, body);
      case 0x5:
        return parseAsciiString(info, body);
      case 0x6:
        return parseUtf16String(info, body);
      case 0xA:
        return parseArray(info, body, depth);
      case 0xD:
        return parseDictionary(info, body, depth);
      default:
        return std::nullopt;  // UIDs, sets and unassigned markers
    }
  }

  static std::optional<Value> parseInteger(std::uint8_t info, Bytes body) {
    if (info > 4) return std::nullopt;
    const std::size_t size = std::size_t{1} << info;
    if (body.size() < size) return std::nullopt;
    if (size == 16) {
      return Value{
          Integer::fromWords(readUnsigned(body.first(8)), readUnsigned(body.subspan(8, 8)))};
    }
    const std::uint64_t value = readUnsigned(body.first(size));
    // Only the 8-byte form is signed; shorter ones hold small non-negative numbers.
    if (size == 8) return Value{Integer{static_cast<std::int64_t>(value)}};
    return Value{Integer{value}};
  }

  static std::optional<Value> parseReal(std::uint8_t info, Bytes body) {
    if (info == 2 && body.size() >= 4) {
      const auto bits = static_cast<std::uint32_t>(readUnsigned(body.first(4)));
      return Value{static_cast<double>(std::bit_cast<float>(bits))};
    }
    if (info == 3 && body.size() >= 8) {
      return Value{std::bit_cast<double>(readUnsigned(body.first(8)))};
    }
    return std::nullopt;
  }

  // The `count` units that follow a marker: the count is the marker's low nibble, or, when that
  // is 0xF, an integer object of 1, 2, 4 or 8 bytes right after it.
  static std::optional<Bytes> countedUnits(std::uint8_t info, Bytes body, std::size_t unitSize) {
    std::uint64_t count = info;
    if (info == 0xF) {
      if (body.empty() || (body[0] >> 4) != 0x1 || (body[0] & 0x0F) > 3) return std::nullopt;
      const std::size_t size = std::size_t{1} << (body[0] & 0x0F);
      if (body.size() - 1 < size) return std::nullopt;
      count = readUnsigned(body.subspan(1, size));
      body = body.subspan(1 + size);
    }
    if (count > body.size() / unitSize) return std::nullopt;
    return body.first(count * unitSize);
  }

  std::optional<Value> parseData(std::uint8_t info, Bytes body) {
    const auto bytes = countedUnits(info, body, 1);
    if (!bytes || !budget_.takeBytes(bytes->size())) return std::nullopt;
    return Value{Data(bytes->begin(), bytes->end())};
  }

  std::optional<Value> parseAsciiString(std::uint8_t info, Bytes body) {
    const auto bytes = countedUnits(info, body, 1);
    if (!bytes || !budget_.takeBytes(bytes->size())) return std::nullopt;
    for (std::uint8_t byte : *bytes) {
      if (byte >= 0x80) return std::nullopt;
    }
    return Value{std::string(bytes->begin(), bytes->end())};
  }

  std::optional<Value> parseUtf16String(std::uint8_t info, Bytes body) {
    const auto bytes = countedUnits(info, body, 2);
    if (!bytes) return std::nullopt;
    std::string text = utf16BigEndianToUtf8(*bytes);
    if (!budget_.takeBytes(text.size())) return std::nullopt;
    return Value{std::move(text)};
  }

  // Checked as each ref is followed; objects the top object cannot reach are never read.
  std::optional<std::uint64_t> readRef(Bytes refs, std::size_t index) const {
    const std::uint64_t ref = readUnsigned(refs.subspan(index * refSize_, refSize_));
    if (ref >= objectCount_) return std::nullopt;
    return ref;
  }

  // A cycle is an endless path and ends at the depth bound; shared sub-objects, which could
  // expand exponentially, end at the value budget. Containers grow only as their items parse:
  // reserving each one's count up front would let overlapping objects nested 512 deep claim
  // the whole value budget at every level.
  bool canOpenContainer(std::size_t depth, std::size_t count) const {
    return depth < kMaxDepth && budget_.hasValuesFor(count);
  }

  std::optional<Value> parseArray(std::uint8_t info, Bytes body, std::size_t depth) {
    const auto refs = countedUnits(info, body, refSize_);
    if (!refs) return std::nullopt;
    const std::size_t count = refs->size() / refSize_;
    if (!canOpenContainer(depth, count)) return std::nullopt;

    Array items;
    for (std::size_t i = 0; i < count; ++i) {
      const auto itemRef = readRef(*refs, i);
      if (!itemRef) return std::nullopt;
      auto item = parseObject(*itemRef, depth + 1);
      if (!item) return std::nullopt;
      items.push_back(std::move(*item));
    }
    return Value{std::move(items)};
  }

  std::optional<Value> parseDictionary(std::uint8_t info, Bytes body, std::size_t depth) {
    const auto refs = countedUnits(info, body, 2 * std::size_t{refSize_});
    if (!refs) return std::nullopt;
    const std::size_t count = refs->size() / (2 * std::size_t{refSize_});
    if (!canOpenContainer(depth, 2 * count)) return std::nullopt;

    Dictionary entries;
    for (std::size_t i = 0; i < count; ++i) {
      const auto keyRef = readRef(*refs, i);
      const auto valueRef = readRef(*refs, count + i);
      if (!keyRef || !valueRef) return std::nullopt;
      auto key = parseObject(*keyRef, depth + 1);
      if (!key || !key->is<std::string>()) return std::nullopt;
      auto value = parseObject(*valueRef, depth + 1);
      if (!value) return std::nullopt;
      entries.push_back({std::move(*key->get_if<std::string>()), std::move(*value)});
    }
    keepLastValuePerKey(entries);
    return Value{std::move(entries)};
  }

  const Bytes bytes_;
  std::uint8_t offsetSize_ = 0;
  std::uint8_t refSize_ = 0;
  std::uint64_t objectCount_ = 0;
  std::uint64_t topObject_ = 0;
  std::size_t objectAreaEnd_ = 0;  // where the offset table starts
  ParseBudget budget_;
};

}  // namespace

std::optional<Value> parseBinaryPlist(std::span<const std::uint8_t> bytes) {
  return BinaryParser(bytes).run();
}

}  // namespace vorla::plist::detail
