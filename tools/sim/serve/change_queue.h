// The page's writes to the settings file, made one at a time on a thread of their own: a write
// that waits for the settings lock holds none of the server's time, and gives up after a bounded
// wait while its client still waits for the answer.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "tools/sim/serve/page_edits.h"
#include "tools/sim/serve/request.h"

namespace vorla::sim {

// How long a change waits, from its arrival, for the settings lock another writer holds.
inline constexpr std::chrono::seconds kChangeLockWait{3};

// One write of the page, given the wait it may spend on the settings lock.
using Edit = std::function<PageWrite(const tools::LockWait&)>;

class ChangeQueue {
 public:
  explicit ChangeQueue(std::string settingsFile);
  // Answers what is still queued with 503, after the change being made.
  ~ChangeQueue();

  // Makes `edit` after those queued before it (one change as vorla-prefs set or unset makes
  // it), and calls `answer` once, on the queue's thread: 200 with {"message"} (and {"undo"}, the
  // body that puts back what was replaced), 422 with the refusal, or 503 when the lock was not free
  // within kChangeLockWait of now (nothing is then written, then or later). Answered 503 at once
  // when too many changes wait already.
  void submit(Edit edit, std::function<void(Reply)> answer);

  const std::string& settingsFile() const { return settingsFile_; }

 private:
  struct Job {
    Edit edit;
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
