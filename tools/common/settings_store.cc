#include "tools/common/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "device/foundation/device_paths.h"
#include "device/plist/plist_reader.h"
#include "tools/common/plist_writer.h"

namespace vorla::tools {
namespace {

constexpr const char* kSuite = "com.pellobrast.vorla";

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

}  // namespace

std::string chooseDeviceRoot(const std::string& rootOption) {
  if (!rootOption.empty()) return rootOption;
  if (const char* root = std::getenv("VORLA_DEVICE_ROOT"); root != nullptr && *root != '\0') {
    return root;
  }
  return VORLA_DEFAULT_DEVICE_ROOT;
}

std::string settingsPathUnder(const std::string& root) { return root + device::suitePath(kSuite); }

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

std::string writeSettings(const std::string& path, const plist::Dictionary& entries) {
  std::filesystem::path target(path);
  std::error_code error;
  std::filesystem::create_directories(target.parent_path(), error);
  if (error) return "cannot create " + target.parent_path().string() + ": " + error.message();

  std::string temporary = path + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return failure("cannot create a temporary file beside " + path);
  std::vector<std::uint8_t> bytes = plist::writeBinary(plist::Value{entries});
  bool written = ::fchmod(fd, 0644) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
  std::string problem = written ? "" : failure("cannot write " + temporary);
  if (::close(fd) != 0 && problem.empty()) problem = failure("cannot write " + temporary);
  if (problem.empty() && ::rename(temporary.c_str(), path.c_str()) != 0) {
    problem = failure("cannot replace " + path);
  }
  if (!problem.empty()) ::unlink(temporary.c_str());
  return problem;
}

}  // namespace vorla::tools
