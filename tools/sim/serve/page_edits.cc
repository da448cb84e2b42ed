#include "tools/sim/serve/page_edits.h"

#include <algorithm>
#include <variant>

#include "tools/common/key_catalogue.h"
#include "tools/common/key_values.h"
#include "tools/common/settings_store.h"

namespace vorla::sim {
namespace {

const char* whenItApplies(tools::KeySource source) {
  switch (source) {
    case tools::KeySource::kEnableKey:
      return "applies when the app next starts";
    case tools::KeySource::kRegistered:
      return "applies at the next call, once the preferences service has carried it";
    case tools::KeySource::kSettingsFile:
      return "applies at the next call";
  }
  return "";
}

// vorla-prefs offers --force where the store refused; the page offers nothing it cannot do, so it
// says what would let the change through instead.
std::string pageAdvice(const tools::SettingsUpdate& update) {
  switch (update.force) {
    case tools::SettingsUpdate::Force::kNothing:
      return "";
    case tools::SettingsUpdate::Force::kWrite:
      return ", so nothing was changed: make the file writable for this user and try again";
    case tools::SettingsUpdate::Force::kReplace:
      return ", so nothing was changed: repair or remove the file, then try again";
  }
  return "";
}

tools::EditResult written(const std::string& path, bool force,
                          const std::function<bool(plist::Dictionary&)>& edit,
                          const tools::LockWait& wait, std::string report) {
  tools::SettingsUpdate update = tools::updateSettings(path, force, edit, wait);
  switch (update.outcome) {
    case tools::SettingsUpdate::Outcome::kRefused:
      return {false, update.problem + pageAdvice(update), ""};
    case tools::SettingsUpdate::Outcome::kFailed:
      return {false, update.problem, ""};
    case tools::SettingsUpdate::Outcome::kBusy:
      return {false, update.problem, "", true};
    case tools::SettingsUpdate::Outcome::kUnchanged:
      return {true, "nothing to change: the file already holds that", ""};
    case tools::SettingsUpdate::Outcome::kWritten:
      break;
  }
  return {true, std::move(report), ""};
}

using Parsed = std::pair<std::string, std::optional<plist::Value>>;

}  // namespace

tools::EditResult applyChanges(const std::string& path, const std::vector<Change>& changes,
                               const tools::LockWait& wait) {
  std::vector<Parsed> parsed;
  std::string report;
  for (const Change& change : changes) {
    const tools::KeyInfo* info = tools::findKey(change.key);
    if (info == nullptr) {
      return {false,
              "unknown key " + tools::quotedText(change.key) +
                  ": the library does not read it, so the page does not set it",
              ""};
    }
    std::optional<plist::Value> value;
    if (change.value) {
      tools::ParsedValue typed = tools::valueForKey(change.key, info->kind, *change.value);
      if (auto* refusal = std::get_if<std::string>(&typed)) return {false, *refusal, ""};
      value = std::get<plist::Value>(std::move(typed));
    }
    if (changes.size() == 1) {
      report = tools::keyText(change.key) +
               (value ? " = " + tools::showValue(*value)
                      : " unset (the library uses " + info->defaultText + ")") +
               ": " + whenItApplies(info->source);
    }
    parsed.emplace_back(change.key, std::move(value));
  }
  if (changes.size() != 1) report = std::to_string(changes.size()) + " settings changed at once";
  auto edit = [&](plist::Dictionary& entries) {
    bool changed = false;
    for (const auto& [key, value] : parsed) {
      auto position = std::find_if(entries.begin(), entries.end(),
                                   [&](const auto& entry) { return entry.first == key; });
      if (!value) {
        if (position == entries.end()) continue;
        entries.erase(position);
      } else if (position != entries.end()) {
        position->second = *value;
      } else {
        entries.push_back({key, *value});
      }
      changed = true;
    }
    return changed;
  };
  return written(path, false, edit, wait, std::move(report));
}

tools::EditResult importSettings(const std::string& path, const std::vector<std::uint8_t>& bytes,
                                 const tools::LockWait& wait) {
  tools::SettingsRead read = tools::parseSettings(bytes);
  if (read.outcome != tools::SettingsRead::Outcome::kRead) {
    return {false,
            "the chosen file is not a settings file (" + read.problem + "); nothing was changed",
            ""};
  }
  for (const auto& [key, value] : read.entries) {
    const tools::KeyInfo* info = tools::findKey(key);
    if (info == nullptr) continue;  // kept as the settings file keeps every key it does not know
    if (std::string mismatch = tools::kindMismatch(info->kind, value); !mismatch.empty()) {
      return {false,
              "the chosen file holds " + tools::keyText(key) + " = " + tools::showValue(value) +
                  ", " + mismatch + " as the library reads it; nothing was changed",
              ""};
    }
  }
  std::size_t count = read.entries.size();
  auto edit = [&](plist::Dictionary& entries) {
    if (entries == read.entries) return false;
    entries = read.entries;
    return true;
  };
  return written(path, false, edit, wait,
                 "imported " + std::to_string(count) + " entries: the file holds them and no other");
}

}  // namespace vorla::sim
