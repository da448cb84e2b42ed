#include "tools/sim/serve/routes.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <variant>

#include "tools/sim/serve/change_queue.h"
#include "tools/sim/serve/page_assets.h"
#include "tools/sim/serve/request_guard.h"
#include "tools/sim/serve/state_channel.h"

namespace vorla::sim {
namespace {

using Json = nlohmann::json;

Reply refusal(int status) {
  switch (status) {
    case 400:
      return jsonReply(status, "error",
                       "the request's body is framed so that it can be read two ways (two "
                       "lengths, a length beside Transfer-Encoding, or a coding other than "
                       "chunked)");
    case 404:
      return jsonReply(status, "error", "there is no such page here");
    case 413:
      return jsonReply(
          status, "error",
          "the request's body is larger than " + std::to_string(kBodyLimit) + " bytes");
    default:
      return jsonReply(status, "error",
                       "the request cannot be answered (HTTP " + std::to_string(status) + ")");
  }
}

// The change a body asks for, or why it is malformed.
std::variant<Change, std::string> changeOf(const std::string& body) {
  Json document = Json::parse(body, nullptr, false);
  if (document.is_discarded()) return "the body is not well-formed JSON in UTF-8";
  const char* shape = "the body is {\"key\": K, \"value\": TEXT} or {\"key\": K, \"unset\": true}";
  if (!document.is_object() || document.size() != 2 || !document.contains("key") ||
      !document["key"].is_string()) {
    return shape;
  }
  std::string key = document["key"];
  if (document.contains("value") && document["value"].is_string()) {
    return Change{key, document["value"].get<std::string>()};
  }
  if (document.contains("unset") && document["unset"] == true) return Change{key, std::nullopt};
  return shape;
}

HeadOutcome answer(Reply reply) { return {HeadOutcome::Kind::kAnswer, std::move(reply), nullptr}; }

}  // namespace

Site pageSite(const RequestGuard& guard, StateChannel& channel, ChangeQueue& changes) {
  Site site;
  site.bodyLimit = kBodyLimit;
  site.refusal = &refusal;
  // The token travels in the address: no other site may learn it from a Referer, frame the page
  // or read it from a cache.
  site.headers = {
      {"Cache-Control", "no-store"},
      {"Referrer-Policy", "no-referrer"},
      {"X-Content-Type-Options", "nosniff"},
      {"Content-Security-Policy",
       "default-src 'none'; script-src 'self'; style-src 'self'; connect-src 'self'; "
       "img-src 'self' data:; frame-ancestors 'none'; base-uri 'none'; form-action 'none'"}};

  // Request paths are only ever compared with these names: none reaches the file system.
  site.head = [&guard, &channel](const Request& request) -> HeadOutcome {
    if (std::optional<Refusal> refused = guard.check(request)) {
      return answer(jsonReply(refused->status, "error", refused->message));
    }
    if (request.method == "POST" && request.path == "/settings") {
      return {HeadOutcome::Kind::kReadBody, {}, nullptr};
    }
    if (request.method != "GET" && request.method != "HEAD") return answer(refusal(404));
    if (request.path == "/events") return {HeadOutcome::Kind::kStream, {}, channel.stream()};
    // Not a conditional expression: its type would be a temporary string the view outlives.
    std::string_view wanted = request.path;
    if (wanted == "/") wanted = "/index.html";
    for (const PageAsset& asset : pageAssets()) {
      if (asset.path == wanted) {
        return answer({200, std::string(asset.type) + "; charset=utf-8", std::string(asset.body)});
      }
    }
    return answer(refusal(404));
  };

  site.body = [&changes](const Request& request, std::string body,
                         std::function<void(Reply)> answer) {
    if (!request.header("Content-Type").starts_with("application/json")) {
      return answer(jsonReply(415, "error", "a change is sent as application/json"));
    }
    std::variant<Change, std::string> change = changeOf(body);
    if (auto* malformed = std::get_if<std::string>(&change)) {
      return answer(jsonReply(400, "error", *malformed));
    }
    // One change at a time, off the server's loop: each reads the file, changes one key and
    // writes it back, and may wait for the settings lock.
    changes.submit(std::get<Change>(std::move(change)), std::move(answer));
  };
  return site;
}

}  // namespace vorla::sim
