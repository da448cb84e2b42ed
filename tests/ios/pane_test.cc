// The settings pane held to the key catalogue: every key the library reads, once, grouped by app,
// with titles and explanations a person can read.
#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "tests/ios/written_pane.h"

namespace vorla::pane {
namespace {

TEST_F(WrittenPane, IsAPaneTheLoaderReads) {
  ASSERT_TRUE(pane_->is<Dictionary>());
  const Value* entry = plist::find(top(), "entry");
  ASSERT_TRUE(entry && entry->is<Dictionary>());
  EXPECT_EQ(textOf(*entry->get_if<Dictionary>(), "cell"), "PSLinkCell");
  EXPECT_EQ(textOf(*entry->get_if<Dictionary>(), "label"), "VorlaPro");
  EXPECT_EQ(textOf(top(), "title"), "VorlaPro");
  ASSERT_TRUE(plist::find(top(), "items") && plist::find(top(), "items")->is<Array>());
  for (const Value& item : items()) {
    ASSERT_TRUE(item.is<Dictionary>());
    EXPECT_NE(textOf(*item.get_if<Dictionary>(), "cell"), "");
  }
}

TEST_F(WrittenPane, OffersEveryKeyOfTheCatalogueOnceAndNoOther) {
  auto found = rows();
  std::set<std::string> catalogued;
  for (const KeyInfo& key : tools::keyCatalogue()) {
    catalogued.insert(key.key);
    EXPECT_EQ(found.count(key.key), 1u) << key.key;
  }
  for (const auto& [key, row] : found) {
    EXPECT_TRUE(catalogued.count(key)) << key << " is not a key the library reads";
    EXPECT_EQ(textOf(*row.control, "defaults"), "com.pellobrast.vorla") << key;
  }
}

TEST_F(WrittenPane, GroupsKeysByAppUnderOneGroupEach) {
  std::multiset<std::string> groups;
  for (const Value& item : items()) {
    const Dictionary& specifier = *item.get_if<Dictionary>();
    if (textOf(specifier, "cell") == "PSGroupCell") groups.insert(textOf(specifier, "label"));
  }
  auto found = rows();
  std::set<std::string> apps;
  for (const KeyInfo& key : tools::keyCatalogue()) {
    std::string title = tools::appTitle(key.app);
    apps.insert(title);
    EXPECT_EQ(groups.count(title), 1u) << title;
    if (auto row = found.find(key.key); row != found.end()) {
      EXPECT_EQ(row->second.group, title) << key.key;
    }
  }
  EXPECT_EQ(groups.size(), apps.size());
}

// Titles read as Settings' own do; the line beneath a control says what it does and when a
// change applies: the library reads an enable key once, as its app starts, and every other key at
// each use.
TEST_F(WrittenPane, TitlesAndExplanationsArePlainToAPerson) {
  auto found = rows();
  std::map<std::string, std::set<std::string>> titlesByGroup;
  for (const KeyInfo& key : tools::keyCatalogue()) {
    auto row = found.find(key.key);
    ASSERT_NE(row, found.end()) << key.key;
    std::string title = textOf(*row->second.control, "label");
    EXPECT_FALSE(title.empty() || title == key.key) << key.key << ": " << title;
    EXPECT_FALSE(title.starts_with("The ") || title.starts_with("A ")) << key.key << ": " << title;
    EXPECT_FALSE(!title.empty() && std::islower(static_cast<unsigned char>(title[0])) &&
                 !title.starts_with("iP"))
        << key.key << ": " << title;
    EXPECT_TRUE(titlesByGroup[row->second.group].insert(title).second)
        << "two rows of " << row->second.group << " are both titled " << title;
    const std::string& explanation = row->second.explanation;
    EXPECT_NE(explanation.find(key.meaning), std::string::npos) << key.key;
    std::string atStart = key.app == "every" ? "each app when it next starts"
                                             : tools::appTitle(key.app) + " next starts";
    EXPECT_EQ(explanation.find(atStart) != std::string::npos,
              key.source == tools::KeySource::kEnableKey)
        << key.key << ": " << explanation;
    // A settings-file key's meaning names the hooks that read it, which no title should.
    if (key.source == tools::KeySource::kSettingsFile) {
      std::string hookClass = key.meaning.substr(key.meaning.find(" of ") + 4);
      hookClass = hookClass.substr(0, hookClass.find(' '));
      EXPECT_EQ(title.find(hookClass), std::string::npos) << key.key << ": " << title;
    }
  }
}

// How often `name` stands as a whole word in `text`, as a key's name stands in a meaning.
std::size_t timesNamed(const std::string& text, const std::string& name) {
  std::size_t times = 0;
  std::string word;
  for (char c : text + ' ') {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
      word += c;
    } else {
      times += word == name;
      word.clear();
    }
  }
  return times;
}

// A switch whose meaning names the values it applies ("home indicator height set to
// sliderKeya") stands right above their controls, and its title says so instead of naming them.
TEST_F(WrittenPane, ASwitchStandsAboveTheValuesItNamesAndSaysSo) {
  std::vector<std::string> order;
  std::map<std::string, std::string> titles;
  for (const Value& item : items()) {
    const Dictionary& specifier = *item.get_if<Dictionary>();
    if (!plist::find(specifier, "key")) continue;
    order.push_back(textOf(specifier, "key"));
    titles[order.back()] = textOf(specifier, "label");
  }
  const auto& catalogue = tools::keyCatalogue();
  std::size_t switchesNamingValues = 0;
  for (const KeyInfo& key : catalogue) {
    if (key.kind != KeyKind::kBoolean) continue;
    std::set<std::string> named;
    for (const KeyInfo& value : catalogue) {
      if (value.app == key.app && value.source != tools::KeySource::kEnableKey &&
          value.key != key.key && timesNamed(key.meaning, value.key) > 0) {
        named.insert(value.key);
      }
    }
    const std::string& title = titles[key.key];
    if (named.empty()) {
      EXPECT_EQ(title.find(" below"), std::string::npos) << key.key << ": " << title;
      continue;
    }
    ++switchesNamingValues;
    auto at = std::find(order.begin(), order.end(), key.key);
    ASSERT_LE(named.size(), static_cast<std::size_t>(order.end() - at - 1)) << key.key;
    EXPECT_EQ(std::set<std::string>(at + 1, at + 1 + named.size()), named) << key.key;
    EXPECT_NE(title.find(" below"), std::string::npos) << key.key << ": " << title;
    for (const std::string& value : named) {
      EXPECT_LT(timesNamed(title, value), timesNamed(key.meaning, value))
          << key.key << "'s title names " << value << ": " << title;
    }
  }
  EXPECT_GT(switchesNamingValues, 0u);
}

}  // namespace
}  // namespace vorla::pane
