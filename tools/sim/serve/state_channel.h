// The page's state as the server last published it, and the open pages' streams of it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "tools/sim/serve/request.h"

namespace vorla::sim {

class StateChannel {
 public:
  // Called after every publish and close, on the thread that made it: the server wakes its
  // streams. Set before anything is published.
  void onChange(std::function<void()> notify);

  void publish(const std::string& state);

  // Nothing more will be published: the server is stopping, and every stream ends.
  void close();
  bool closed();

  // The latest state as a server-sent event, when it is newer than the one numbered `seen`
  // (which is then updated); otherwise nullptr. Every stream shares the one event text.
  std::shared_ptr<const std::string> newerEvent(std::uint64_t& seen);

  // One open page's stream: each newer state, and a comment at every beat, so that a page that
  // went away is found when the comment cannot be sent.
  std::unique_ptr<StreamSource> stream();

 private:
  std::mutex mutex_;
  std::function<void()> notify_;
  std::shared_ptr<const std::string> event_;
  std::uint64_t number_ = 0;
  bool closed_ = false;
};

}  // namespace vorla::sim
