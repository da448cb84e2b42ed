#include "tools/common/file_replacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace vorla::tools {
namespace {

// mkstemp's pattern: the six Xs become letters and digits.
constexpr std::string_view kTemporarySuffix = ".XXXXXX";

std::string failure(const std::string& what) { return what + ": " + std::strerror(errno); }

bool writeAll(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string folderOf(const std::string& path) {
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  return folder.empty() ? "." : folder.string();
}

bool isTemporaryName(std::string_view name, std::string_view base) {
  if (name.size() != base.size() + kTemporarySuffix.size() || !name.starts_with(base) ||
      name[base.size()] != '.') {
    return false;
  }
  return std::all_of(
      name.begin() + static_cast<std::ptrdiff_t>(base.size()) + 1, name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
      });
}

std::string syncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return failure("cannot open the folder " + folder + " to sync it");
  std::string problem = ::fsync(fd) == 0 ? "" : failure("cannot sync the folder " + folder);
  ::close(fd);
  return problem;
}

}  // namespace

std::string replaceFile(const std::string& target, const std::vector<std::uint8_t>& bytes,
                        mode_t mode, const std::optional<Ownership>& owner) {
  std::string temporary = target + std::string(kTemporarySuffix);
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return failure("cannot create a temporary file beside " + target);
  bool ok = ::fchmod(fd, mode) == 0;
  if (ok && owner) ok = ::fchown(fd, owner->user, owner->group) == 0;
  ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
  std::string problem = ok ? "" : failure("cannot write " + temporary);
  if (::close(fd) != 0 && problem.empty()) problem = failure("cannot write " + temporary);
  if (problem.empty() && ::rename(temporary.c_str(), target.c_str()) != 0) {
    problem = failure("cannot replace " + target);
  }
  if (!problem.empty()) {
    ::unlink(temporary.c_str());
    return problem;
  }
  // The rename is written in the folder: until the folder is on disk too, a power loss can bring
  // the old file back after the write was reported done.
  if (std::string unsynced = syncFolder(folderOf(target)); !unsynced.empty()) {
    return unsynced + " (" + target + " is replaced, but a power loss could still undo it)";
  }
  return "";
}

void removeLeftoverTemporaries(const std::string& target) {
  const std::string base = std::filesystem::path(target).filename().string();
  DIR* folder = ::opendir(folderOf(target).c_str());
  // What cannot be listed or removed costs only space: the write goes on without it.
  if (folder == nullptr) return;
  std::vector<std::string> leftovers;
  while (const dirent* entry = ::readdir(folder)) {
    if (isTemporaryName(entry->d_name, base)) leftovers.push_back(entry->d_name);
  }
  const int fd = ::dirfd(folder);
  for (const std::string& name : leftovers) {
    struct stat status {};
    // Not followed: a link of that name, or a folder, is nobody's temporary file.
    if (::fstatat(fd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode)) {
      ::unlinkat(fd, name.c_str(), 0);
    }
  }
  ::closedir(folder);
}

}  // namespace vorla::tools
