// vorla-prefs: shows and changes the keys of the suite in a device root's settings file.
#include <iostream>
#include <string>
#include <vector>

#include "hosts/host_apps.h"
#include "tools/common/key_catalogue.h"
#include "tools/common/key_values.h"
#include "tools/common/settings_edit.h"
#include "tools/common/settings_store.h"
#include "tools/common/text_table.h"

namespace vorla::tools {
namespace {

constexpr const char* kUsage =
    "usage: vorla-prefs [--root DIR] [--force] list\n"
    "       vorla-prefs [--root DIR] [--force] get KEY\n"
    "       vorla-prefs [--root DIR] [--force] set KEY VALUE\n"
    "       vorla-prefs [--root DIR] [--force] unset KEY\n"
    "The device root is --root, else VORLA_DEVICE_ROOT, else " VORLA_DEFAULT_DEVICE_ROOT
    ".\n--force uses a key the library does not read, and replaces a file that cannot be read.\n";

struct Options {
  std::string root;
  bool force = false;
  std::vector<std::string> words;
};

int fail(const std::string& message) {
  std::cerr << "vorla-prefs: " << message << '\n';
  return 1;
}

int usageError(const std::string& message) {
  std::cerr << "vorla-prefs: " << message << " (vorla-prefs --help shows the usage)\n";
  return 2;
}

void list(const std::string& path, const SettingsRead& read) {
  std::cout << "Settings file: " << path
            << (read.outcome == SettingsRead::Outcome::kMissing ? " (none yet: every key at its "
                                                                  "default)"
                                                                : "")
            << '\n';
  std::vector<std::string> apps;
  for (const hosts::HostApp& app : hosts::hostApps()) apps.push_back(app.name);
  apps.push_back("every");
  for (const std::string& app : apps) {
    TextTable table;
    table.add({"KEY", "SOURCE", "KIND", "DEFAULT", "CURRENT", "MEANING"});
    for (const KeyInfo& info : keyCatalogue()) {
      if (info.app != app) continue;
      const plist::Value* stored = plist::find(read.entries, info.key);
      table.add({info.key, std::string(sourceName(info.source)), std::string(kindName(info.kind)),
                 info.defaultText, stored ? showValue(*stored) : "-", info.meaning});
    }
    std::cout << '\n' << appTitle(app) << '\n';
    table.print(std::cout, "  ");
  }
  TextTable others;
  for (const auto& [key, value] : read.entries) {
    if (findKey(key) == nullptr) others.add({key, showValue(value)});
  }
  if (!others.empty()) {
    std::cout << "\nOther keys in the file, kept as they are\n";
    others.print(std::cout, "  ");
  }
}

int get(const std::string& key, const KeyInfo* info, const SettingsRead& read) {
  if (const plist::Value* stored = plist::find(read.entries, key)) {
    std::cout << showValue(*stored) << '\n';
  } else if (info != nullptr) {
    std::cout << "not set (the library uses " << info->defaultText << ")\n";
  } else {
    std::cout << "not set\n";
  }
  return 0;
}

int run(const Options& options) {
  if (options.words.empty()) return usageError("no command");
  const std::string& command = options.words[0];
  std::size_t expected = command == "list"                        ? 1
                         : command == "get" || command == "unset" ? 2
                         : command == "set"                       ? 3
                                                                  : 0;
  if (expected == 0) return usageError("unknown command \"" + command + "\"");
  if (options.words.size() != expected) return usageError("wrong number of arguments");

  std::string path = settingsPathUnder(chooseDeviceRoot(options.root));
  SettingsRead read = readSettings(path);
  bool unreadable = read.outcome == SettingsRead::Outcome::kUnreadable;
  if (command == "list") {
    if (unreadable) return fail("cannot read " + path + ": " + read.problem);
    list(path, read);
    return 0;
  }
  const std::string& key = options.words[1];
  const KeyInfo* info = findKey(key);
  if (info == nullptr && !options.force) return fail(unknownKey(key));
  if (command == "get") {
    if (unreadable) return fail("cannot read " + path + ": " + read.problem);
    return get(key, info, read);
  }
  EditResult edit = command == "set" ? setKey(path, key, options.words[2], options.force)
                                     : unsetKey(path, key, options.force);
  if (!edit.done) return fail(edit.message);
  std::cout << edit.message << '\n';
  return 0;
}

}  // namespace
}  // namespace vorla::tools

int main(int argc, char** argv) {
  vorla::tools::Options options;
  for (int i = 1; i < argc; ++i) {
    std::string word = argv[i];
    if (word == "--help" || word == "-h") {
      std::cout << vorla::tools::kUsage;
      return 0;
    } else if (word == "--force") {
      options.force = true;
    } else if (word == "--root") {
      if (i + 1 == argc) return vorla::tools::usageError("--root needs a directory");
      options.root = argv[++i];
    } else if (word.starts_with("--") && options.words.empty()) {
      return vorla::tools::usageError("unknown option " + word);
    } else {
      options.words.push_back(word);
    }
  }
  return vorla::tools::run(options);
}
