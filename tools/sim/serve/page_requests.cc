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
  // Keys and texts without a name per change: a reset of every key fits in one body.
  const char* shape =
      "the body is {\"set\": {K: TEXT, ...}, \"unset\": [K, ...]}, either part optional, at least "
      "one change, each key once";
  if (!document.is_object() || document.empty()) return shape;
  std::vector<Change> changes;
  std::set<std::string> keys;
  for (const auto& [part, items] : document.items()) {
    if (part == "set" && items.is_object()) {
      for (const auto& [key, value] : items.items()) {
        if (!value.is_string()) return shape;
        changes.push_back({key, value.get<std::string>()});
      }
    } else if (part == "unset" && items.is_array()) {
      for (const Json& key : items) {
        if (!key.is_string()) return shape;
        changes.push_back({key.get<std::string>(), std::nullopt});
      }
    } else {
      return shape;
    }
  }
  for (const Change& change : changes) {
    // Two changes of one key would make the result depend on their order.
    if (!keys.insert(change.key).second) return shape;
  }
  if (changes.empty()) return shape;
  return changes;
}

}  // namespace vorla::sim
