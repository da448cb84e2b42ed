#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "standin/plist/plist_value.h"

namespace vorla::plist {

inline constexpr std::size_t kMaxFileBytes = 8 * 1024 * 1024;

// Bounds on what one parse may produce, whatever the input: a binary file can share objects,
// so a small file could otherwise expand without limit.
inline constexpr std::size_t kMaxDepth = 512;         // nested arrays and dictionaries
inline constexpr std::size_t kMaxValues = 1'000'000;  // values of every kind
inline constexpr std::size_t kMaxPayloadBytes = 4 * kMaxFileBytes;  // text, keys and data

// Binary ("bplist00") or XML, told apart by the first bytes. Malformed input, and input that
// exceeds the bounds above, gives nullopt. Any kind of value may be at the top.
std::optional<Value> parse(std::span<const std::uint8_t> bytes);

// The whole content of a regular file (symbolic links followed) of at most `cap` bytes.
// Never blocks: FIFOs, devices, sockets and directories give nullopt, as does a file that
// is larger than `cap` or grows past it while being read.
std::optional<std::vector<std::uint8_t>> readFileBytes(const char* path,
                                                       std::size_t cap = kMaxFileBytes);

// The same read into `buffer`, reused across calls: the number of bytes read, which may be fewer
// than the buffer holds.
std::optional<std::size_t> readFileInto(const char* path, std::vector<std::uint8_t>& buffer,
                                        std::size_t cap = kMaxFileBytes);

std::optional<Value> readFile(const char* path, std::size_t cap = kMaxFileBytes);

}  // namespace vorla::plist
