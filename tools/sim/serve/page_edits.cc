#include "tools/sim/serve/page_edits.h"

#include <algorithm>
#include <nlohmann/json.hpp>
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

// What puts back the values of `keys` in `entries`, as a batch body.
std::string undoBody(const plist::Dictionary& entries, const std::vector<Parsed>& keys) {
  nlohmann::json set = nlohmann::json::object(), unset = nlohmann::json::array();
  for (const auto& [key, unused] : keys) {
    const plist::Value* before = plist::find(entries, key);
    if (before == nullptr) {
      unset.push_back(key);
    } else if (std::optional<std::string> text = typedText(*before)) {
      set[key] = *text;
    } else {
      return "";
    }
  }
  return nlohmann::json{{"set", set}, {"unset", unset}}.dump(
      -1, ' ', false, nlohmann::json::error_handler_t::replace);
}

PageWrite refused(std::string why) { return {{false, std::move(why), ""}, ""}; }

}  // namespace

std::optional<std::string> typedText(const plist::Value& value) {
  if (auto* text = value.get_if<std::string>()) return *text;
  if (auto* flag = value.get_if<bool>()) return *flag ? "on" : "off";
  if (value.is<double>() || value.is<plist::Integer>()) return tools::showValue(value);
  return std::nullopt;
}

PageWrite applyChanges(const std::string& path, const std::vector<Change>& changes,
                       const tools::LockWait& wait) {
  std::vector<Parsed> parsed;
  std::string report;
  for (const Change& change : changes) {
    const tools::KeyInfo* info = tools::findKey(change.key);
    if (info == nullptr) {
      return refused("unknown key " + tools::quotedText(change.key) +
                     ": the library does not read it, so the page does not set it");
    }
    std::optional<plist::Value> value;
    if (change.value) {
      tools::ParsedValue typed = tools::valueForKey(change.key, info->kind, *change.value);
      if (auto* refusal = std::get_if<std::string>(&typed)) return refused(*refusal);
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
  std::string undo;
  auto edit = [&](plist::Dictionary& entries) {
    undo = undoBody(entries, parsed);
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
  tools::EditResult result = written(path, false, edit, wait, std::move(report));
  return {std::move(result), result.done ? std::move(undo) : ""};
}

PageWrite importSettings(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         const tools::LockWait& wait) {
  tools::SettingsRead read = tools::parseSettings(bytes);
  if (read.outcome != tools::SettingsRead::Outcome::kRead) {
    return refused("the chosen file is not a settings file (" + read.problem +
                   "); nothing was changed");
  }
  for (const auto& [key, value] : read.entries) {
    const tools::KeyInfo* info = tools::findKey(key);
    if (info == nullptr) continue;  // kept as the settings file keeps every key it does not know
    if (std::string mismatch = tools::kindMismatch(info->kind, value); !mismatch.empty()) {
      return refused("the chosen file holds " + tools::keyText(key) + " = " +
                     tools::showValue(value) + ", " + mismatch +
                     " as the library reads it; nothing was changed");
    }
  }
  std::size_t count = read.entries.size();
  auto edit = [&](plist::Dictionary& entries) {
    if (entries == read.entries) return false;
    entries = read.entries;
    return true;
  };
  // The page undoes an import with the file it exported before, which may hold any value.
  return {
      written(path, false, edit, wait,
              "imported " + std::to_string(count) + " entries: the file holds them and no other"),
      ""};
}

}  // namespace vorla::sim
