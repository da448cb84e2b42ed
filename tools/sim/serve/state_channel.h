// The page's state as the server last published it, and the wait of each open page for the next.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace vorla::sim {

class StateChannel {
 public:
  void publish(std::string state);

  // The latest state when it is newer than the one numbered `seen` (which is then updated);
  // nullopt once `patience` has passed without one, or when the channel is closed.
  std::optional<std::string> waitNewer(std::uint64_t& seen, std::chrono::milliseconds patience);

  // Wakes every waiter for good: the server is stopping.
  void close();
  bool closed();

 private:
  std::mutex mutex_;
  std::condition_variable published_;
  std::string state_;
  std::uint64_t number_ = 0;
  bool closed_ = false;
};

}  // namespace vorla::sim
