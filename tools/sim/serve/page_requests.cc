#include "tools/sim/serve/page_requests.h"

#include <nlohmann/json.hpp>
#include <set>

namespace vorla::sim {
namespace {

using Json = nlohmann::json;

constexpr const char* kChangeShape =
    "the body is {\"key\": K, \"value\": TEXT} or {\"key\": K, \"unset\": true}";

std::variant<Change, std::string> changeOfJson(const Json& document) {
  if (!document.is_object() || document.size() != 2 || !document.contains("key") ||
      !document["key"].is_string()) {
    return kChangeShape;
  }
  std::string key = document["key"];
  if (document.contains("value") && document["value"].is_string()) {
    return Change{key, document["value"].get<std::string>()};
  }
  if (document.contains("unset") && document["unset"] == true) return Change{key, std::nullopt};
  return kChangeShape;
}

}  // namespace

std::variant<Change, std::string> changeOf(const std::string& body) {
  Json document = Json::parse(body, nullptr, false);
  if (document.is_discarded()) return "the body is not well-formed JSON in UTF-8";
  return changeOfJson(document);
}

std::variant<std::vector<Change>, std::string> changesOf(const std::string& body) {
  Json document = Json::parse(body, nullptr, false);
  if (document.is_discarded()) return "the body is not well-formed JSON in UTF-8";
  const char* shape = "the body is {\"changes\": [CHANGE, ...]}, at least one, each key once";
  if (!document.is_object() || document.size() != 1 || !document.contains("changes") ||
      !document["changes"].is_array() || document["changes"].empty()) {
    return shape;
  }
  std::vector<Change> changes;
  std::set<std::string> keys;
  for (const Json& item : document["changes"]) {
    std::variant<Change, std::string> change = changeOfJson(item);
    if (auto* malformed = std::get_if<std::string>(&change)) return "a change: " + *malformed;
    Change& made = std::get<Change>(change);
    // Two changes of one key would make the result depend on their order.
    if (!keys.insert(made.key).second) return shape;
    changes.push_back(std::move(made));
  }
  return changes;
}

}  // namespace vorla::sim
