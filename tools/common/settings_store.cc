#include "tools/common/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>

#include "standin/foundation/device_paths.h"
#include "standin/plist/plist_reader.h"
#include "tools/common/plist_writer.h"

namespace vorla::tools {
namespace {

constexpr const char* kSuite = "com.pellobrast.vorla";
constexpr int kMaxLinks = 40;  // as the kernel allows on one path

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

// A name beside `path` that nothing has yet, for the unreadable file a forced write replaces.
std::string keptName(const std::string& path, int attempt) {
  char stamp[32];
  std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return path + ".unreadable-" + stamp + (attempt == 0 ? "" : "-" + std::to_string(attempt));
}

std::string keepBeside(const std::string& path, std::string& keptAs) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = keptName(path, attempt);
    // A second name for the old file: it never disappears, even if the rename then fails.
    if (::link(path.c_str(), name.c_str()) == 0) {
      keptAs = name;
      return "";
    }
    if (errno != EEXIST) return failure("cannot keep the unreadable " + path + " as " + name);
  }
  return "cannot find a free name to keep the unreadable " + path + " under";
}

SettingsUpdate ended(SettingsUpdate::Outcome outcome, std::string problem = "",
                     bool forceWouldHelp = false) {
  SettingsUpdate update;
  update.outcome = outcome;
  update.problem = std::move(problem);
  update.forceWouldHelp = forceWouldHelp;
  return update;
}

struct Existing {
  bool present = false;
  struct stat status {};
};

std::string writeReplacement(const std::string& target, const Existing& existing, bool unreadable,
                             const plist::Dictionary& entries) {
  std::string temporary = target + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return failure("cannot create a temporary file beside " + target);
  mode_t mode = existing.present ? existing.status.st_mode & 07777 : 0644;
  // A file that could not be read is replaced by one its owner can read.
  if (unreadable) mode |= S_IRUSR;
  bool ok = ::fchmod(fd, mode) == 0;
  if (ok && existing.present && ::geteuid() == 0) {
    ok = ::fchown(fd, existing.status.st_uid, existing.status.st_gid) == 0;
  }
  std::vector<std::uint8_t> bytes = plist::writeBinary(plist::Value{entries});
  ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
  std::string problem = ok ? "" : failure("cannot write " + temporary);
  if (::close(fd) != 0 && problem.empty()) problem = failure("cannot write " + temporary);
  if (problem.empty() && ::rename(temporary.c_str(), target.c_str()) != 0) {
    problem = failure("cannot replace " + target);
  }
  if (!problem.empty()) ::unlink(temporary.c_str());
  return problem;
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

std::string settingsPathUnder(const std::string& root) { return root + standin::suitePath(kSuite); }

SettingsRead readSettings(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    if (errno == ENOENT) return {SettingsRead::Outcome::kMissing, {}, "no such file"};
    return {SettingsRead::Outcome::kUnreadable, {}, std::strerror(errno)};
  }
  if (!S_ISREG(status.st_mode)) {
    return {SettingsRead::Outcome::kUnreadable, {}, "not a regular file"};
  }
  if (::access(path.c_str(), R_OK) != 0) {
    return {SettingsRead::Outcome::kUnreadable, {}, std::strerror(errno)};
  }
  std::optional<plist::Value> value = plist::readFile(path.c_str());
  if (!value) return {SettingsRead::Outcome::kUnreadable, {}, "not a readable property list"};
  auto* entries = value->get_if<plist::Dictionary>();
  if (entries == nullptr) {
    return {SettingsRead::Outcome::kUnreadable, {}, "its top level is not a dictionary"};
  }
  return {SettingsRead::Outcome::kRead, std::move(*entries), ""};
}

SettingsUpdate updateSettings(const std::string& path, bool force,
                              const std::function<bool(plist::Dictionary&)>& change,
                              const LockWaitNotice& onWaiting) {
  using Outcome = SettingsUpdate::Outcome;
  std::string problem;
  std::optional<std::string> target = finalTarget(path, problem);
  if (!target) return ended(Outcome::kRefused, problem);
  std::filesystem::path directory = std::filesystem::path(*target).parent_path();
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) {
    return ended(Outcome::kRefused, "cannot make " + directory.string() + ": " + error.message());
  }

  // The rename needs the directory: without it, nothing (not even --force) could write the file.
  if (::faccessat(AT_FDCWD, directory.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
    return ended(Outcome::kRefused, failure("cannot write in " + directory.string()));
  }

  WriterLock lock;
  if (problem = lock.acquire(*target + ".lock", onWaiting); !problem.empty()) {
    return ended(Outcome::kFailed, problem);
  }

  Existing existing;
  if (::lstat(target->c_str(), &existing.status) == 0) {
    existing.present = true;
  } else if (errno != ENOENT) {
    return ended(Outcome::kRefused, failure("cannot read " + *target));
  }
  if (existing.present && S_ISDIR(existing.status.st_mode)) {
    return ended(Outcome::kRefused, *target + " is a directory, not a settings file");
  }
  if (existing.present && !S_ISREG(existing.status.st_mode)) {
    return ended(Outcome::kRefused, *target + " is not a regular file");
  }
  SettingsRead read = existing.present ? readSettings(*target) : SettingsRead{};
  bool unreadable = existing.present && read.outcome != SettingsRead::Outcome::kRead;
  if (unreadable && !force) {
    return ended(Outcome::kRefused, "cannot read " + *target + " (" + read.problem + ")", true);
  }

  if (!change(read.entries)) return ended(Outcome::kUnchanged);
  if (existing.present && ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0 && !force) {
    return ended(Outcome::kRefused, failure("cannot write " + *target), true);
  }
  SettingsUpdate update = ended(Outcome::kWritten);
  if (unreadable) {
    if (problem = keepBeside(*target, update.keptAs); !problem.empty()) {
      return ended(Outcome::kFailed, problem);
    }
  }
  if (problem = writeReplacement(*target, existing, unreadable, read.entries); !problem.empty()) {
    update.outcome = Outcome::kFailed;
    update.problem = problem;
  }
  return update;
}

}  // namespace vorla::tools
