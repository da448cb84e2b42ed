// What the page shows, as one JSON document: every key of the suite grouped by app with its
// stored value, the settings file's condition, and the preview.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "tools/common/settings_store.h"

namespace vorla::sim {

// `read` is the file as last read; while it is unreadable the keys keep the values of
// `lastGood`, the last read that succeeded.
std::string pageState(const std::string& settingsFile, const tools::SettingsRead& read,
                      const tools::SettingsRead& lastGood, const nlohmann::json& preview,
                      bool previewUpdating, const std::string& previewProblem);

}  // namespace vorla::sim
