#include "tools/sim/serve/state_channel.h"

namespace vorla::sim {
namespace {

class StateStream : public StreamSource {
 public:
  explicit StateStream(StateChannel& channel) : channel_(channel) {}

  std::shared_ptr<const std::string> next(bool beat) override {
    static const auto kComment = std::make_shared<const std::string>(": waiting\n\n");
    if (std::shared_ptr<const std::string> event = channel_.newerEvent(seen_)) return event;
    return beat ? kComment : nullptr;
  }

  bool ended() override { return channel_.closed(); }

 private:
  StateChannel& channel_;
  std::uint64_t seen_ = 0;
};

}  // namespace

void StateChannel::onChange(std::function<void()> notify) {
  std::lock_guard lock(mutex_);
  notify_ = std::move(notify);
}

void StateChannel::publish(const std::string& state) {
  auto event = std::make_shared<const std::string>("data: " + state + "\n\n");
  std::function<void()> notify;
  {
    std::lock_guard lock(mutex_);
    event_ = std::move(event);
    ++number_;
    notify = notify_;
  }
  if (notify) notify();
}

void StateChannel::close() {
  std::function<void()> notify;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    notify = notify_;
  }
  if (notify) notify();
}

bool StateChannel::closed() {
  std::lock_guard lock(mutex_);
  return closed_;
}

std::shared_ptr<const std::string> StateChannel::newerEvent(std::uint64_t& seen) {
  std::lock_guard lock(mutex_);
  if (closed_ || number_ <= seen) return nullptr;
  seen = number_;
  return event_;
}

std::unique_ptr<StreamSource> StateChannel::stream() {
  return std::make_unique<StateStream>(*this);
}

}  // namespace vorla::sim
