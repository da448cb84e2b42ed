// What a request to the settings page must show before it is answered: a local server that
// writes a file is a target for every web page the browser opens.
#pragma once

#include <optional>
#include <string>

#include "tools/sim/serve/request.h"

namespace vorla::sim {

struct Refusal {
  int status;
  std::string message;
};

class RequestGuard {
 public:
  // `port` is the one the server listens on; the token is made afresh from the system's random
  // source, and is what the printed address carries.
  explicit RequestGuard(int port);

  const std::string& token() const { return token_; }

  // Every request needs a Host naming the loopback address or localhost with the server's port,
  // so that a name rebound to 127.0.0.1 reaches nothing. The event stream needs the token as its
  // `token` parameter. A request that may change state
  // (anything but GET and HEAD) also needs the token in the X-Vorla-Token header and an Origin
  // that is this server's own.
  std::optional<Refusal> check(const Request& request) const;

 private:
  int port_;
  std::string token_;
};

}  // namespace vorla::sim
