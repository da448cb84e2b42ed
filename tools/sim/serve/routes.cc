#include "tools/sim/serve/routes.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <variant>

#include "standin/plist/plist_reader.h"
#include "tools/sim/serve/change_queue.h"
#include "tools/sim/serve/page_assets.h"
#include "tools/sim/serve/page_requests.h"
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

bool isWrite(const std::string& path) {
  return path == "/settings" || path == "/settings/batch" || path == "/settings/import" ||
         path == "/settings/export";
}

// The settings file's bytes as they are, for the page to save; read without the lock, since
// writers replace the file by a rename.
Reply exported(const std::string& path) {
  std::optional<std::vector<std::uint8_t>> bytes = plist::readFileBytes(path.c_str());
  if (!bytes) {
    return jsonReply(404, "error",
                     "there is no settings file to export yet (or it cannot be read): every key "
                     "is at its default");
  }
  return {200, "application/octet-stream", std::string(bytes->begin(), bytes->end())};
}

// The edit a write's body asks for, or the refusal of a malformed body.
std::variant<Edit, Reply> editOf(const Request& request, const std::string& body,
                                 const std::string& path) {
  if (request.path == "/settings/import") {
    if (!request.header("Content-Type").starts_with("application/octet-stream")) {
      return jsonReply(415, "error", "an imported file is sent as application/octet-stream");
    }
    std::vector<std::uint8_t> bytes(body.begin(), body.end());
    return Edit(
        [path, bytes](const tools::LockWait& wait) { return importSettings(path, bytes, wait); });
  }
  if (!request.header("Content-Type").starts_with("application/json")) {
    return jsonReply(415, "error", "a change is sent as application/json");
  }
  std::vector<Change> changes;
  if (request.path == "/settings/batch") {
    auto read = changesOf(body);
    if (auto* malformed = std::get_if<std::string>(&read))
      return jsonReply(400, "error", *malformed);
    changes = std::get<std::vector<Change>>(std::move(read));
  } else {
    auto read = changeOf(body);
    if (auto* malformed = std::get_if<std::string>(&read))
      return jsonReply(400, "error", *malformed);
    changes.push_back(std::get<Change>(std::move(read)));
  }
  return Edit(
      [path, changes](const tools::LockWait& wait) { return applyChanges(path, changes, wait); });
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
    if (request.method == "POST" && isWrite(request.path)) {
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
    if (request.path == "/settings/export") return answer(exported(changes.settingsFile()));
    std::variant<Edit, Reply> edit = editOf(request, body, changes.settingsFile());
    if (auto* refused = std::get_if<Reply>(&edit)) return answer(std::move(*refused));
    // One write at a time, off the server's loop: each reads the file, changes it and writes it
    // back, and may wait for the settings lock.
    changes.submit(std::get<Edit>(std::move(edit)), std::move(answer));
  };
  return site;
}

}  // namespace vorla::sim
