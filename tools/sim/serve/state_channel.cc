#include "tools/sim/serve/state_channel.h"

namespace vorla::sim {

void StateChannel::publish(std::string state) {
  {
    std::lock_guard lock(mutex_);
    state_ = std::move(state);
    ++number_;
  }
  published_.notify_all();
}

std::optional<std::string> StateChannel::waitNewer(std::uint64_t& seen,
                                                   std::chrono::milliseconds patience) {
  std::unique_lock lock(mutex_);
  if (!published_.wait_for(lock, patience, [&] { return closed_ || number_ > seen; }) || closed_) {
    return std::nullopt;
  }
  seen = number_;
  return state_;
}

void StateChannel::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  published_.notify_all();
}

bool StateChannel::closed() {
  std::lock_guard lock(mutex_);
  return closed_;
}

}  // namespace vorla::sim
