#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>

#include "standin/plist/plist_reader.h"

namespace vorla::plist {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

int openForReading(const char* path) {
  // O_NONBLOCK so that opening a FIFO without a writer returns at once; fstat then rejects it.
  constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
  int fd;
  do {
    fd = ::open(path, kFlags);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

}  // namespace

std::optional<std::size_t> readFileInto(const char* path, std::vector<std::uint8_t>& buffer,
                                        std::size_t cap) {
  if (path == nullptr) return std::nullopt;
  const FileDescriptor file(openForReading(path));
  if (file.get() < 0) return std::nullopt;

  struct stat status {};
  if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
    return std::nullopt;
  }
  // A vector never holds more than PTRDIFF_MAX bytes, and cap + 1 must not wrap.
  cap = std::min<std::size_t>(cap, PTRDIFF_MAX - 1);
  if (static_cast<std::uintmax_t>(status.st_size) > cap) return std::nullopt;

  // The size from fstat is only a hint: the file may change, and some (in /proc) report 0.
  // One byte of room past it lets a plain read see end-of-file without growing the buffer.
  // The buffer only ever grows, so a caller that reuses it pays for no allocation or clearing.
  const std::size_t expected = static_cast<std::size_t>(status.st_size) + 1;
  if (buffer.size() < expected) buffer.resize(expected);
  std::size_t size = 0;
  while (true) {
    if (size == buffer.size()) buffer.resize(std::min(cap + 1, 2 * size));
    const std::size_t room = buffer.size() - size;
    const ssize_t count = ::read(file.get(), buffer.data() + size, room);
    if (count < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    size += static_cast<std::size_t>(count);
    if (size > cap) return std::nullopt;
    // A regular file reads short only at its end, which saves asking again for nothing.
    if (count == 0 || static_cast<std::size_t>(count) < room) break;
  }
  return size;
}

std::optional<std::vector<std::uint8_t>> readFileBytes(const char* path, std::size_t cap) {
  std::vector<std::uint8_t> bytes;
  const auto size = readFileInto(path, bytes, cap);
  if (!size) return std::nullopt;
  bytes.resize(*size);
  return bytes;
}

}  // namespace vorla::plist
