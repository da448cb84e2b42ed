// The settings page's requests: the page's own files, the stream of its state, and changes.
#pragma once

#include <cstddef>

#include "tools/sim/serve/http_server.h"

namespace vorla::sim {

class ChangeQueue;
class RequestGuard;
class StateChannel;

// No setting needs more; anything larger is refused before it is read, or as soon as it passes.
inline constexpr std::size_t kBodyLimit = 4096;

// GET /, /page.css, /page.js: the page's files. GET /events?token=T: the page's state, as
// server-sent events, once at once and again whenever it changes. POST /settings with
// {"key": K, "value": TEXT} or {"key": K, "unset": true}: the change vorla-prefs set or unset
// makes, answered with {"message": ...}; POST /settings/batch with {"set": {K: TEXT, ...},
// "unset": [K, ...]}: several in one write; POST /settings/import with a settings file's bytes: the
// file's entries replaced by them; POST /settings/export: the settings file's bytes. Every refusal
// is a 4xx (a 503 while another writer holds the settings lock) with {"error": ...}, and leaves the
// settings file as it was. `guard`, `channel` and `changes` must outlive the server.
Site pageSite(const RequestGuard& guard, StateChannel& channel, ChangeQueue& changes);

}  // namespace vorla::sim
