#include "tools/sim/serve/request_guard.h"

#include <sys/random.h>

#include <cstdint>
#include <stdexcept>

#include "standin/text/ascii.h"

namespace vorla::sim {
namespace {

std::string randomToken() {
  std::uint8_t bytes[16];
  std::size_t filled = 0;
  while (filled < sizeof bytes) {
    ssize_t n = ::getrandom(bytes + filled, sizeof bytes - filled, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("the system's random source cannot be read");
    filled += static_cast<std::size_t>(n);
  }
  std::string token;
  for (std::uint8_t byte : bytes) {
    token += "0123456789abcdef"[byte >> 4];
    token += "0123456789abcdef"[byte & 15];
  }
  return token;
}

// Compares in a time that does not depend on where the texts first differ.
bool sameSecret(const std::string& given, const std::string& secret) {
  unsigned char difference = given.size() == secret.size() ? 0 : 1;
  for (std::size_t i = 0; i < secret.size(); ++i) {
    difference |= static_cast<unsigned char>(secret[i] ^ (i < given.size() ? given[i] : 0));
  }
  return difference == 0;
}

}  // namespace

RequestGuard::RequestGuard(int port) : port_(port), token_(randomToken()) {}

std::optional<Refusal> RequestGuard::check(const Request& request) const {
  std::string port = ":" + std::to_string(port_);
  std::string host = text::ascii::lowered(request.header("Host"));
  if (request.headerCount("Host") != 1 ||
      (host != "127.0.0.1" + port && host != "localhost" + port)) {
    return Refusal{421, "this server answers only to 127.0.0.1" + port + " and localhost" + port +
                            ", not to the host \"" + request.header("Host") + "\""};
  }
  // Any page may open an event stream here, and each holds a connection while it is open: only
  // the settings page, which has the token, may.
  if (request.path == "/events" && !sameSecret(request.parameter("token"), token_)) {
    return Refusal{403, "the event stream needs the token of the address vorla-sim printed"};
  }
  if (request.method == "GET" || request.method == "HEAD") return std::nullopt;
  if (request.headerCount("X-Vorla-Token") != 1 ||
      !sameSecret(request.header("X-Vorla-Token"), token_)) {
    return Refusal{403,
                   "a change needs the token of the address vorla-sim printed; open that "
                   "address again"};
  }
  if (request.headerCount("Origin") != 1 ||
      text::ascii::lowered(request.header("Origin")) != "http://" + host) {
    return Refusal{403, "a change must come from the settings page itself, not from \"" +
                            request.header("Origin") + "\""};
  }
  return std::nullopt;
}

}  // namespace vorla::sim
