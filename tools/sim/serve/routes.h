// The settings page's requests: the page's own files, the stream of its state, and changes.
#pragma once

#include <cstddef>
#include <string>

namespace httplib {
class Server;
}

namespace vorla::sim {

class RequestGuard;
class StateChannel;

// No setting needs more; anything larger is refused before it is read.
inline constexpr std::size_t kBodyLimit = 4096;

// GET /, /page.css, /page.js: the page's files. GET /events?token=T: the page's state, as
// server-sent events, once at once and again whenever it changes. POST /settings with
// {"key": K, "value": TEXT} or {"key": K, "unset": true}: the change vorla-prefs set or unset
// makes, answered with {"message": ...}. Every refusal is a 4xx with {"error": ...}, and leaves
// the settings file as it was. `guard`, `channel` and the file must outlive the server.
void addRoutes(httplib::Server& server, const RequestGuard& guard, StateChannel& channel,
               const std::string& settingsFile);

}  // namespace vorla::sim
