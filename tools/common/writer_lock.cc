#include "tools/common/writer_lock.h"

#include <fcntl.h>
#include <fmt/format.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

namespace vorla::tools {
namespace {

using Clock = std::chrono::steady_clock;

// What a short queue of live writers may take before anyone is told of the wait.
constexpr std::chrono::seconds kQuietWait{1};
// The lock is asked for without blocking, so that the wait can be bounded without a signal, which
// would reach every thread of the process: first often, for the usual short wait, then at most
// this far apart.
constexpr std::chrono::milliseconds kLongestPause{50};

std::string failure(const std::string& what) { return what + ": " + std::strerror(errno); }

// Which file is at the lock's path. Every holder removes it as it lets go, and the next writer
// makes a new one, so a change of this is the lock changing hands. The change time tells a new
// file from a removed one whose number it was given.
struct LockFileIdentity {
  bool present = false;
  dev_t device = 0;
  ino_t inode = 0;
  timespec changed{};

  bool operator==(const LockFileIdentity& other) const {
    return present == other.present && device == other.device && inode == other.inode &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
  }
};

LockFileIdentity identityAt(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return {};
  return {true, status.st_dev, status.st_ino, status.st_ctim};
}

bool isFileAt(int fd, const std::string& path) {
  struct stat held {};
  struct stat named {};
  return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
         held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace

WriterLock::~WriterLock() {
  if (fd_ < 0) return;
  ::unlink(path_.c_str());
  ::close(fd_);
}

std::string WriterLock::acquire(const std::string& path, const LockWait& wait, bool& busy) {
  path_ = path;
  const Clock::time_point start = Clock::now();
  Clock::time_point handedOver = start;
  LockFileIdentity holder = identityAt(path);
  bool told = false;
  std::chrono::milliseconds pause{1};
  while (true) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd_ < 0) return failure("cannot lock " + path);
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      if (isFileAt(fd_, path)) return "";
      // Locked only once its holder had removed it: the lock is whatever file is at the path now.
    } else if (errno != EWOULDBLOCK && errno != EINTR) {
      std::string problem = failure("cannot lock " + path);
      ::close(fd_);
      fd_ = -1;
      return problem;
    } else {
      Clock::time_point now = Clock::now();
      if (LockFileIdentity seen = identityAt(path); !(seen == holder)) {
        holder = seen;
        handedOver = now;
      }
      if (wait.deadline && now >= *wait.deadline) {
        ::close(fd_);
        fd_ = -1;
        busy = true;
        return "another writer (vorla-prefs, or a change from elsewhere) has held the lock " + path;
      }
      if (now - handedOver >= kLockPatience) {
        ::close(fd_);
        fd_ = -1;
        return fmt::format(
            "gave up waiting for the lock {}: one writer has held it for {} s (a writer that was "
            "stopped, by Ctrl-Z for one, holds it until it goes on)",
            path, kLockPatience.count());
      }
      if (!told && now - start >= kQuietWait) {
        told = true;
        if (wait.onWaiting) wait.onWaiting(path);
      }
      std::this_thread::sleep_for(pause);
      pause = std::min(pause * 2, kLongestPause);
    }
    ::close(fd_);
    fd_ = -1;
  }
}

}  // namespace vorla::tools
