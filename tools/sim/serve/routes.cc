#include "tools/sim/serve/routes.h"

#include <httplib.h>

#include <mutex>
#include <nlohmann/json.hpp>

#include "tools/common/settings_edit.h"
#include "tools/sim/serve/page_assets.h"
#include "tools/sim/serve/request_guard.h"
#include "tools/sim/serve/state_channel.h"

namespace vorla::sim {
namespace {

using Json = nlohmann::json;

void answer(httplib::Response& response, int status, const std::string& field,
            const std::string& text) {
  response.status = status;
  response.set_content(Json{{field, text}}.dump(-1, ' ', false, Json::error_handler_t::replace),
                       "application/json");
}

std::string defaultError(int status) {
  switch (status) {
    case 404:
      return "there is no such page here";
    case 413:
      return "the request's body is larger than " + std::to_string(kBodyLimit) + " bytes";
    default:
      return "the request cannot be answered (HTTP " + std::to_string(status) + ")";
  }
}

// The change a body asks for: its key, and its value or none for unset; or why it is malformed.
struct Change {
  std::string key;
  std::optional<std::string> value;
  std::string malformed;
};

Change changeOf(const std::string& body) {
  Json document = Json::parse(body, nullptr, false);
  if (document.is_discarded()) return {"", {}, "the body is not well-formed JSON in UTF-8"};
  const char* shape = "the body is {\"key\": K, \"value\": TEXT} or {\"key\": K, \"unset\": true}";
  if (!document.is_object() || document.size() != 2 || !document.contains("key") ||
      !document["key"].is_string()) {
    return {"", {}, shape};
  }
  std::string key = document["key"];
  if (document.contains("value") && document["value"].is_string()) {
    return {key, document["value"].get<std::string>(), ""};
  }
  if (document.contains("unset") && document["unset"] == true) return {key, std::nullopt, ""};
  return {"", {}, shape};
}

}  // namespace

void addRoutes(httplib::Server& server, const RequestGuard& guard, StateChannel& channel,
               const std::string& settingsFile) {
  server.set_payload_max_length(kBodyLimit);
  // The token travels in the address: no other site may learn it from a Referer, frame the page
  // or read it from a cache.
  server.set_default_headers(
      {{"Cache-Control", "no-store"},
       {"Referrer-Policy", "no-referrer"},
       {"X-Content-Type-Options", "nosniff"},
       {"Content-Security-Policy",
        "default-src 'none'; script-src 'self'; style-src 'self'; connect-src 'self'; "
        "img-src 'self' data:; frame-ancestors 'none'; base-uri 'none'; form-action 'none'"}});
  server.set_pre_routing_handler(
      [&guard](const httplib::Request& request, httplib::Response& response) {
        if (std::optional<Refusal> refusal = guard.check(request)) {
          answer(response, refusal->status, "error", refusal->message);
          return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
      });
  server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
    if (response.body.empty())
      answer(response, response.status, "error", defaultError(response.status));
  });

  // Request paths are only ever compared with these names: none reaches the file system.
  server.Get(".*", [&channel](const httplib::Request& request, httplib::Response& response) {
    if (request.path == "/events") {
      response.set_chunked_content_provider(
          "text/event-stream",
          [&channel, seen = std::uint64_t{0}](std::size_t, httplib::DataSink& sink) mutable {
            std::optional<std::string> state = channel.waitNewer(seen, std::chrono::seconds(5));
            if (channel.closed()) return false;
            // A comment now and then finds a page that went away.
            std::string event = state ? "data: " + *state + "\n\n" : ": waiting\n\n";
            return sink.write(event.data(), event.size());
          });
      return;
    }
    std::string_view wanted = request.path == "/" ? "/index.html" : request.path;
    for (const PageAsset& asset : pageAssets()) {
      if (asset.path == wanted) {
        response.set_content(std::string(asset.body), std::string(asset.type) + "; charset=utf-8");
        return;
      }
    }
    response.status = 404;
  });

  server.Post(
      "/settings", [&settingsFile](const httplib::Request& request, httplib::Response& response) {
        if (!request.get_header_value("Content-Type").starts_with("application/json")) {
          return answer(response, 415, "error", "a change is sent as application/json");
        }
        Change change = changeOf(request.body);
        if (!change.malformed.empty()) return answer(response, 400, "error", change.malformed);
        // One change at a time: each reads the file, changes one key and writes it back.
        static std::mutex oneAtATime;
        std::lock_guard lock(oneAtATime);
        tools::EditResult edit = change.value
                                     ? tools::setKey(settingsFile, change.key, *change.value, false)
                                     : tools::unsetKey(settingsFile, change.key, false);
        answer(response, edit.done ? 200 : 422, edit.done ? "message" : "error", edit.message);
      });
}

}  // namespace vorla::sim
