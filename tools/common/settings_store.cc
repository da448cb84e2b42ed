#include "tools/common/settings_store.h"

#include <fcntl.h>
#include <fmt/format.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "standin/foundation/device_paths.h"
#include "standin/plist/plist_reader.h"
#include "tools/common/file_replacement.h"
#include "tools/common/plist_writer.h"
#include "tweak/host/services.h"

namespace vorla::tools {
namespace {

constexpr int kMaxLinks = 40;  // as the kernel allows on one path

std::string failure(const std::string& what) { return what + ": " + std::strerror(errno); }

// The reader's one limit, as every message that names it says it.
std::string sizeLimitText() {
  constexpr std::size_t kMiB = 1024 * 1024;
  std::string bytes = fmt::format("{} bytes", plist::kMaxFileBytes);
  if (plist::kMaxFileBytes % kMiB != 0) return bytes;
  return fmt::format("{} MiB ({})", plist::kMaxFileBytes / kMiB, bytes);
}

// The file that `path` leads to through any links, or nullopt (with the reason) for a loop.
std::optional<std::string> finalTarget(const std::string& path, std::string& problem) {
  std::filesystem::path current(path);
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    struct stat status {};
    if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
    std::error_code error;
    std::filesystem::path next = std::filesystem::read_symlink(current, error);
    if (error) {
      problem = "cannot follow the link " + current.string() + ": " + error.message();
      return std::nullopt;
    }
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  problem = "cannot follow the link " + path + ": too many levels of links";
  return std::nullopt;
}

// Makes the missing folders of `folder` one at a time, from the deepest one that exists down:
// mkdir never follows a link, so a link to nothing in the way is refused, not made a folder at
// its target.
std::string makeFolders(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> missing;
  struct stat status {};
  for (std::filesystem::path existing = folder; !existing.empty();
       existing = existing.parent_path()) {
    if (::stat(existing.c_str(), &status) == 0) break;
    if (errno != ENOENT) return failure("cannot make " + folder.string());
    missing.push_back(existing);
    if (existing == existing.parent_path()) break;
  }
  for (auto made = missing.rbegin(); made != missing.rend(); ++made) {
    if (::mkdir(made->c_str(), 0777) == 0) continue;
    int error = errno;
    struct stat there {};
    if (error == EEXIST && ::lstat(made->c_str(), &there) == 0) {
      if (S_ISDIR(there.st_mode)) continue;  // made by another writer meanwhile
      if (S_ISLNK(there.st_mode)) {
        return "cannot make " + folder.string() + ": " + made->string() +
               " is a link to nothing, and folders are never made through a link";
      }
    }
    errno = error;
    return failure("cannot make " + folder.string());
  }
  return "";
}

// Why the folder a settings link leads to cannot take the file, or "". It is never made: that
// would make folders wherever the link points.
std::string linkedFolderProblem(const std::string& link, const std::string& target) {
  std::filesystem::path folder = std::filesystem::path(target).parent_path();
  struct stat status {};
  if (::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return "";
  return link + " is a link to " + target + ", whose folder " + folder.string() +
         " does not exist, and folders are never made through a link";
}

// Where an unreadable settings file is kept when a forced write replaces it. One name, so that
// however many forced writes fail, one copy is kept: that of the latest file that could not be
// read.
std::string keptPathFor(const std::string& target) { return target + ".unreadable"; }

std::string keepUnreadable(const std::string& target, const std::string& kept) {
  struct stat earlier {};
  struct stat current {};
  if (::lstat(kept.c_str(), &earlier) == 0) {
    // Kept by a forced write that then failed: it already is this very file.
    if (::stat(target.c_str(), &current) == 0 && S_ISREG(earlier.st_mode) &&
        earlier.st_dev == current.st_dev && earlier.st_ino == current.st_ino) {
      return "";
    }
    if (::unlink(kept.c_str()) != 0) return failure("cannot replace the copy kept as " + kept);
  }
  // A second name for the file itself: it stays whatever then happens to the write.
  if (::link(target.c_str(), kept.c_str()) != 0) {
    return failure("cannot keep the unreadable " + target + " as " + kept);
  }
  return "";
}

// Why the reader would refuse `bytes` as a settings file, or "": nothing is written that the
// library, the simulator and the tools could not read back.
std::string readerProblem(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() > plist::kMaxFileBytes) {
    return fmt::format(
        "the settings file would be {} bytes, more than the {} a settings file may hold, so it is "
        "left as it is",
        bytes.size(), sizeLimitText());
  }
  if (!plist::parse(bytes)) {
    return "the settings file would hold more values or deeper nesting than the reader takes, so "
           "it is left as it is";
  }
  return "";
}

SettingsUpdate ended(SettingsUpdate::Outcome outcome, std::string problem = "",
                     SettingsUpdate::Force force = SettingsUpdate::Force::kNothing) {
  SettingsUpdate update;
  update.outcome = outcome;
  update.problem = std::move(problem);
  update.force = force;
  return update;
}

}  // namespace

std::string chooseDeviceRoot(const std::string& rootOption) {
  if (!rootOption.empty()) return rootOption;
  if (const char* root = std::getenv("VORLA_DEVICE_ROOT"); root != nullptr && *root != '\0') {
    return root;
  }
  return VORLA_DEFAULT_DEVICE_ROOT;
}

bool isDefaultDeviceRoot(const std::string& root) { return root == VORLA_DEFAULT_DEVICE_ROOT; }

std::string deviceRootProblem(const std::string& root, bool create) {
  struct stat status {};
  if (::stat(root.c_str(), &status) == 0) {
    return S_ISDIR(status.st_mode) ? "" : "the device root " + root + " is not a directory";
  }
  if (errno != ENOENT) return failure("cannot use the device root " + root);
  if (create) return "";
  return "there is no device root " + root;
}

std::string settingsPathUnder(const std::string& root) {
  return root + standin::suitePath(host::kSuite);
}

SettingsRead readSettings(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    if (errno == ENOENT) return {SettingsRead::Outcome::kMissing, {}, "no such file"};
    return {SettingsRead::Outcome::kUnreadable, {}, std::strerror(errno)};
  }
  if (!S_ISREG(status.st_mode)) {
    return {SettingsRead::Outcome::kUnreadable, {}, "not a regular file"};
  }
  if (static_cast<std::uintmax_t>(status.st_size) > plist::kMaxFileBytes) {
    return {SettingsRead::Outcome::kUnreadable,
            {},
            fmt::format("it is {} bytes, more than the {} a settings file may hold", status.st_size,
                        sizeLimitText())};
  }
  if (::access(path.c_str(), R_OK) != 0) {
    return {SettingsRead::Outcome::kUnreadable, {}, std::strerror(errno)};
  }
  std::optional<std::vector<std::uint8_t>> bytes = plist::readFileBytes(path.c_str());
  if (!bytes) return {SettingsRead::Outcome::kUnreadable, {}, "not a readable property list"};
  return parseSettings(*bytes);
}

SettingsRead parseSettings(std::span<const std::uint8_t> bytes) {
  std::optional<plist::Value> value = plist::parse(bytes);
  if (!value) return {SettingsRead::Outcome::kUnreadable, {}, "not a readable property list"};
  auto* entries = value->get_if<plist::Dictionary>();
  if (entries == nullptr) {
    return {SettingsRead::Outcome::kUnreadable, {}, "its top level is not a dictionary"};
  }
  return {SettingsRead::Outcome::kRead, std::move(*entries), ""};
}

SettingsUpdate updateSettings(const std::string& path, bool force,
                              const std::function<bool(plist::Dictionary&)>& change,
                              const LockWait& wait) {
  using Outcome = SettingsUpdate::Outcome;
  using Force = SettingsUpdate::Force;
  std::string problem;
  std::optional<std::string> target = finalTarget(path, problem);
  if (!target) return ended(Outcome::kRefused, problem);
  std::filesystem::path directory = std::filesystem::path(*target).parent_path();
  problem = *target == path ? makeFolders(directory) : linkedFolderProblem(path, *target);
  if (!problem.empty()) return ended(Outcome::kRefused, problem);

  // The rename needs the directory: without it, nothing (not even --force) could write the file.
  if (::faccessat(AT_FDCWD, directory.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
    return ended(Outcome::kRefused, failure("cannot write in " + directory.string()));
  }

  WriterLock lock;
  bool busy = false;
  if (problem = lock.acquire(*target + ".lock", wait, busy); !problem.empty()) {
    return ended(busy ? Outcome::kBusy : Outcome::kFailed, problem);
  }
  removeLeftoverTemporaries(*target);

  struct stat existing {};
  bool present = ::lstat(target->c_str(), &existing) == 0;
  if (!present && errno != ENOENT) {
    return ended(Outcome::kRefused, failure("cannot read " + *target));
  }
  if (present && S_ISDIR(existing.st_mode)) {
    return ended(Outcome::kRefused, *target + " is a directory, not a settings file");
  }
  if (present && !S_ISREG(existing.st_mode)) {
    return ended(Outcome::kRefused, *target + " is not a regular file");
  }
  SettingsRead read = present ? readSettings(*target) : SettingsRead{};
  bool unreadable = present && read.outcome != SettingsRead::Outcome::kRead;
  if (unreadable && !force) {
    SettingsUpdate refused = ended(
        Outcome::kRefused, "cannot read " + *target + " (" + read.problem + ")", Force::kReplace);
    refused.keptAs = keptPathFor(*target);
    return refused;
  }

  if (!change(read.entries)) return ended(Outcome::kUnchanged);
  if (present && ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0 && !force) {
    return ended(Outcome::kRefused, failure("cannot write " + *target), Force::kWrite);
  }
  std::vector<std::uint8_t> bytes = plist::writeBinary(plist::Value{read.entries});
  if (problem = readerProblem(bytes); !problem.empty()) return ended(Outcome::kRefused, problem);

  SettingsUpdate update = ended(Outcome::kWritten);
  if (unreadable) {
    update.keptAs = keptPathFor(*target);
    if (problem = keepUnreadable(*target, update.keptAs); !problem.empty()) {
      return ended(Outcome::kFailed, problem);
    }
  }
  mode_t mode = present ? existing.st_mode & 07777 : 0644;
  // A file that could not be read is replaced by one its owner can read.
  if (unreadable) mode |= S_IRUSR;
  std::optional<Ownership> owner;
  if (present && ::geteuid() == 0) owner = Ownership{existing.st_uid, existing.st_gid};
  if (problem = replaceFile(*target, bytes, mode, owner); !problem.empty()) {
    update.outcome = Outcome::kFailed;
    update.problem = problem;
    if (unreadable) update.problem += "; the unreadable file is kept as " + update.keptAs;
  }
  return update;
}

}  // namespace vorla::tools
