#include "tools/sim/serve/request.h"

#include <strings.h>

#include <algorithm>
#include <nlohmann/json.hpp>

namespace vorla::sim {
namespace {

bool sameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

std::string Request::header(const std::string& name) const {
  for (const auto& [key, value] : headers) {
    if (sameName(key, name)) return value;
  }
  return "";
}

std::size_t Request::headerCount(const std::string& name) const {
  return std::count_if(headers.begin(), headers.end(),
                       [&](const auto& entry) { return sameName(entry.first, name); });
}

std::string Request::parameter(const std::string& name) const {
  for (const auto& [key, value] : parameters) {
    if (key == name) return value;
  }
  return "";
}

Reply jsonReply(int status, const std::string& field, const std::string& text) {
  using Json = nlohmann::json;
  return {status, "application/json",
          Json{{field, text}}.dump(-1, ' ', false, Json::error_handler_t::replace)};
}

}  // namespace vorla::sim
