#include "tools/sim/settings_follower.h"

#include <map>

#include "tools/common/key_catalogue.h"
#include "tools/common/key_values.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::sim {
namespace {

bool unreadable(const tools::SettingsRead& read) {
  return read.outcome == tools::SettingsRead::Outcome::kUnreadable;
}

}  // namespace

std::vector<KeyChange> keyChanges(const tools::SettingsRead& before,
                                  const tools::SettingsRead& after) {
  std::map<std::string, KeyChange> byKey;
  for (const auto& [key, value] : before.entries) byKey[key].before = tools::showValue(value);
  for (const auto& [key, value] : after.entries) byKey[key].after = tools::showValue(value);
  std::vector<KeyChange> changes;
  for (auto& [key, change] : byKey) {
    if (change.before == change.after) continue;
    change.key = key;
    changes.push_back(std::move(change));
  }
  return changes;
}

Catching catching(const std::vector<KeyChange>& changes, const std::string& app) {
  Catching catching;
  for (const KeyChange& change : changes) {
    const tools::KeyInfo* info = tools::findKey(change.key);
    if (info == nullptr) continue;
    if (info->source == tools::KeySource::kRegistered) catching.waitsForPreferences = true;
    if (info->source == tools::KeySource::kEnableKey &&
        (info->app == app || info->app == settings::kEveryApp)) {
      catching.restartedBy.push_back(change.key);
    }
  }
  return catching;
}

SettingsFollower::SettingsFollower(std::string path)
    : path_(std::move(path)), current_(tools::readSettings(path_)), lastGood_(current_) {}

SettingsFollower::Look SettingsFollower::look() {
  Look look;
  tools::SettingsRead now = tools::readSettings(path_);
  look.readabilityChanged = unreadable(now) != unreadable(current_);
  current_ = now;
  if (unreadable(now)) return look;
  look.changes = keyChanges(lastGood_, now);
  lastGood_ = std::move(now);
  return look;
}

}  // namespace vorla::sim
