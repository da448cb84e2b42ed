// The bodies of the page's writes, read into the changes they ask for, or why they are malformed.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "tools/sim/serve/page_edits.h"

namespace vorla::sim {

// {"key": K, "value": TEXT} or {"key": K, "unset": true}.
std::variant<Change, std::string> changeOf(const std::string& body);

// {"set": {K: TEXT, ...}, "unset": [K, ...]}: at least one change, each key once.
std::variant<std::vector<Change>, std::string> changesOf(const std::string& body);

}  // namespace vorla::sim
