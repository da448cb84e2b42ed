// The settings follower: which keys a change of the file touches, what each app must do to catch
// up with them, and what a look at a file that cannot be read, then can again, reports.
#include "tools/sim/settings_follower.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tools/common/key_catalogue.h"
#include "tools/common/plist_writer.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::sim {
namespace {

using tools::KeySource;

// The first key of the catalogue from `source` that `app` reads, whatever the tables hold.
std::string keyOf(KeySource source, const std::string& app) {
  for (const tools::KeyInfo& info : tools::keyCatalogue()) {
    if (info.source == source && info.app == app) return info.key;
  }
  ADD_FAILURE() << "no key of that source for " << app;
  return "";
}

tools::SettingsRead readOf(plist::Dictionary entries) {
  return {tools::SettingsRead::Outcome::kRead, std::move(entries), ""};
}

std::vector<std::string> keysOf(const std::vector<KeyChange>& changes) {
  std::vector<std::string> keys;
  for (const KeyChange& change : changes) keys.push_back(change.key);
  return keys;
}

TEST(SettingsFollower, ChangesAreTheKeysAddedRemovedOrGivenAnotherValue) {
  tools::SettingsRead before = readOf({{"b", plist::Value{true}},
                                       {"gone", plist::Value{std::string("x")}},
                                       {"same", plist::Value{2.5}}});
  tools::SettingsRead after = readOf({{"same", plist::Value{2.5}},
                                      {"b", plist::Value{false}},
                                      {"a", plist::Value{std::string("")}}});
  std::vector<KeyChange> changes = keyChanges(before, after);
  ASSERT_EQ(keysOf(changes), (std::vector<std::string>{"a", "b", "gone"}));
  EXPECT_EQ(changes[0].before, "");  // absent; an empty text is shown as something
  EXPECT_NE(changes[0].after, "");
  EXPECT_NE(changes[1].before, changes[1].after);
  EXPECT_EQ(changes[2].after, "");
  EXPECT_TRUE(keyChanges(after, after).empty());
}

TEST(SettingsFollower, EnableKeysRestartTheirAppsAndRegisteredSettingsWaitForTheService) {
  std::string safariKey = keyOf(KeySource::kEnableKey, "safari");
  std::string everyKey = keyOf(KeySource::kEnableKey, settings::kEveryApp);
  std::string registered = keyOf(KeySource::kRegistered, "springboard");
  auto change = [](const std::string& key) { return KeyChange{key, "", "on"}; };

  Catching safari = catching({change(safariKey), change(everyKey)}, "safari");
  EXPECT_EQ(safari.restartedBy, (std::vector<std::string>{safariKey, everyKey}));
  EXPECT_FALSE(safari.waitsForPreferences);
  Catching phone = catching({change(safariKey), change(everyKey)}, "phone");
  EXPECT_EQ(phone.restartedBy, (std::vector<std::string>{everyKey}));

  Catching settingOnly = catching({change(registered), change("not a key")}, "safari");
  EXPECT_TRUE(settingOnly.restartedBy.empty());
  EXPECT_TRUE(settingOnly.waitsForPreferences);
  EXPECT_FALSE(catching({change("not a key")}, "safari").waitsForPreferences);
}

class SettingsFollowerOnDisk : public testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::temp_directory_path() / ("vorla-follower-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    path_ = (folder_ / "settings.plist").string();
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void write(const std::string& bytes) {
    std::ofstream(path_ + ".new", std::ios::binary) << bytes;
    std::filesystem::rename(path_ + ".new", path_);
  }
  void write(const plist::Dictionary& entries) { write(plist::writeXml(plist::Value{entries})); }

  std::filesystem::path folder_;
  std::string path_;
};

TEST_F(SettingsFollowerOnDisk, AnUnreadableFileKeepsTheLastGoodEntriesAsTheBaseline) {
  write({{"k", plist::Value{1.0}}});
  SettingsFollower follower(path_);
  SettingsFollower::Look look = follower.look();
  EXPECT_TRUE(look.changes.empty());
  EXPECT_FALSE(look.readabilityChanged);

  write("<plist>cut off");
  look = follower.look();
  EXPECT_TRUE(look.changes.empty());
  EXPECT_TRUE(look.readabilityChanged);
  EXPECT_EQ(follower.current().outcome, tools::SettingsRead::Outcome::kUnreadable);
  EXPECT_FALSE(follower.lastGood().entries.empty());
  EXPECT_FALSE(follower.look().readabilityChanged);  // said once, not at every look

  // Readable again with the same entries: no change to catch, only the news that it can be read.
  write({{"k", plist::Value{1.0}}});
  look = follower.look();
  EXPECT_TRUE(look.changes.empty());
  EXPECT_TRUE(look.readabilityChanged);

  std::filesystem::remove(path_);
  look = follower.look();
  EXPECT_EQ(keysOf(look.changes), std::vector<std::string>{"k"});  // a missing file has no keys
  EXPECT_FALSE(look.readabilityChanged);
}

}  // namespace
}  // namespace vorla::sim
