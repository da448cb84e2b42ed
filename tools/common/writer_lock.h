// The lock the writers of one settings file queue on: an exclusive flock on a file beside it.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace vorla::tools {

// How long a writer waits while the lock stays with one holder. A writer holds it for
// milliseconds, so one that keeps it this long is stopped (a Ctrl-Z at the wrong moment) or hung.
// The wait starts again whenever the lock changes hands, so a long queue of live writers is
// never given up on.
inline constexpr std::chrono::seconds kLockPatience{10};

// Told, once, when a writer has waited a second for the lock, with the lock file's path: a
// person at a terminal then knows what the tool waits for.
using LockWaitNotice = std::function<void(const std::string& lockPath)>;

// How a writer waits for the lock: `onWaiting` is told when the wait grows long, and with a
// `deadline` the writer gives up then, whoever holds the lock (the page's server, whose client
// waits for an answer). Without one it waits as long as the lock changes hands.
struct LockWait {
  LockWaitNotice onWaiting = {};
  std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt;
};

// Held from a successful acquire until destroyed. The lock file is removed on release, so that
// none is left beside the settings file; a writer that opened it before and locks it after
// checks that it still is the file at its path.
class WriterLock {
 public:
  WriterLock() = default;
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;
  ~WriterLock();

  // Takes the lock on the file at `path`, made when missing: "" once held, else why not (a
  // holder that kept it for kLockPatience, the wait's deadline, with `busy` set, or a file that
  // cannot be opened).
  std::string acquire(const std::string& path, const LockWait& wait, bool& busy);

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace vorla::tools
