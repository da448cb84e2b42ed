// The page's changes to the settings file, made one at a time on a thread of their own: a change
// that waits for the settings lock holds none of the server's time, and gives up after a bounded
// wait while its client still waits for the answer.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "tools/sim/serve/request.h"

namespace vorla::sim {

// How long a change waits, from its arrival, for the settings lock another writer holds.
inline constexpr std::chrono::seconds kChangeLockWait{3};

struct Change {
  std::string key;
  std::optional<std::string> value;  // none: unset
};

class ChangeQueue {
 public:
  explicit ChangeQueue(std::string settingsFile);
  // Answers what is still queued with 503, after the change being made.
  ~ChangeQueue();

  // Makes `change` as vorla-prefs set or unset makes it, after those queued before it, and
  // calls `answer` once, on the queue's thread: 200 with {"message"}, 422 with the refusal, or
  // 503 when the lock was not free within kChangeLockWait of now (nothing is then written, then or
  // later). Answered 503 at once when too many changes wait already.
  void submit(Change change, std::function<void(Reply)> answer);

 private:
  struct Job {
    Change change;
    std::function<void(Reply)> answer;
    std::chrono::steady_clock::time_point deadline;
  };

  void work();

  std::string settingsFile_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<Job> jobs_;
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace vorla::sim
