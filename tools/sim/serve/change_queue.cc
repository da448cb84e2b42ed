#include "tools/sim/serve/change_queue.h"

#include <nlohmann/json.hpp>

namespace vorla::sim {
namespace {

// More than a page's hand can send within kChangeLockWait; beyond it a change is refused at once.
constexpr std::size_t kMostWaiting = 64;

Reply busy(const std::string& why) {
  return jsonReply(503, "error",
                   why +
                       "; nothing was changed (try again once it is free, or stop the other "
                       "writer)");
}

Reply answered(const std::string& message, const std::string& undo) {
  nlohmann::json body = {{"message", message}};
  if (!undo.empty()) body["undo"] = nlohmann::json::parse(undo);
  return {200, "application/json",
          body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)};
}

}  // namespace

ChangeQueue::ChangeQueue(std::string settingsFile)
    : settingsFile_(std::move(settingsFile)), worker_([this] { work(); }) {}

ChangeQueue::~ChangeQueue() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  queued_.notify_one();
  worker_.join();
}

void ChangeQueue::submit(Edit edit, std::function<void(Reply)> answer) {
  {
    std::lock_guard lock(mutex_);
    if (!stopping_ && jobs_.size() < kMostWaiting) {
      jobs_.push_back(
          {std::move(edit), std::move(answer), std::chrono::steady_clock::now() + kChangeLockWait});
      queued_.notify_one();
      return;
    }
  }
  answer(busy(std::to_string(kMostWaiting) + " changes are already waiting for the settings lock"));
}

void ChangeQueue::work() {
  std::unique_lock lock(mutex_);
  while (true) {
    queued_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty()) return;
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    if (stopping_) {
      lock.unlock();
      job.answer(busy("vorla-sim is stopping"));
      lock.lock();
      continue;
    }
    lock.unlock();
    // The deadline counts from the change's arrival: one queued behind a change that waited
    // keeps only what is left of its own wait.
    tools::LockWait wait{.deadline = job.deadline};
    PageWrite write = job.edit(wait);
    const tools::EditResult& edit = write.result;
    if (edit.busy) {
      job.answer(
          busy(edit.message + " for more than " + std::to_string(kChangeLockWait.count()) + " s"));
    } else {
      job.answer(edit.done ? answered(edit.message, write.undo)
                           : jsonReply(422, "error", edit.message));
    }
    lock.lock();
  }
}

}  // namespace vorla::sim
