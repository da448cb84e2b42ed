// vorla-prefs: shows and changes the keys of the suite in a device root's settings file.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "hosts/host_apps.h"
#include "tools/common/command_line.h"
#include "tools/common/key_catalogue.h"
#include "tools/common/key_values.h"
#include "tools/common/settings_edit.h"
#include "tools/common/settings_store.h"
#include "tools/common/text_table.h"
#include "tools/common/tool_output.h"

namespace vorla::tools {
namespace {

constexpr const char* kTool = "vorla-prefs";
constexpr const char* kUsage =
    "usage: vorla-prefs [--root DIR] [--create-root] [--force] list\n"
    "       vorla-prefs [--root DIR] [--create-root] [--force] get KEY\n"
    "       vorla-prefs [--root DIR] [--create-root] [--force] set KEY VALUE\n"
    "       vorla-prefs [--root DIR] [--create-root] [--force] unset KEY\n"
    "The device root is --root, else VORLA_DEVICE_ROOT, else " VORLA_DEFAULT_DEVICE_ROOT
    ".\nA root that does not exist is made only with --create-root (the last one excepted).\n"
    "--force uses a key the library does not read, writes a read-only settings file, and\n"
    "replaces one that cannot be read, keeping it beside the new one. --root=DIR works too.\n";

struct Options {
  std::string root;
  bool force = false;
  bool createRoot = false;
  std::vector<std::string> words;
};

int fail(const std::string& message) {
  std::cerr << kTool << ": " << message << '\n';
  return 1;
}

std::string currentCell(const KeyInfo& info, const plist::Value* stored) {
  if (stored == nullptr) return "-";
  std::string mismatch = kindMismatch(info.kind, *stored);
  return showValue(*stored) + (mismatch.empty() ? "" : " (" + mismatch + ")");
}

void list(const std::string& path, const SettingsRead& read) {
  std::cout << "Settings file: " << path
            << (read.outcome == SettingsRead::Outcome::kMissing ? " (none yet: every key at its "
                                                                  "default)"
                                                                : "")
            << '\n';
  for (const std::string& app : keyGroupApps()) {
    TextTable table;
    table.add({"KEY", "SOURCE", "KIND", "DEFAULT", "CURRENT", "MEANING"});
    for (const KeyInfo& info : keyCatalogue()) {
      if (info.app != app) continue;
      table.add({info.key, std::string(sourceName(info.source)), std::string(kindName(info.kind)),
                 info.defaultText, currentCell(info, plist::find(read.entries, info.key)),
                 info.meaning});
    }
    std::cout << '\n' << appTitle(app) << '\n';
    table.print(std::cout, "  ");
  }
  TextTable others;
  for (const auto& [key, value] : read.entries) {
    if (findKey(key) == nullptr) others.add({keyText(key), showValue(value)});
  }
  if (!others.empty()) {
    std::cout << "\nOther keys in the file, kept as they are\n";
    others.print(std::cout, "  ");
  }
}

int get(const std::string& key, const KeyInfo* info, const SettingsRead& read) {
  if (const plist::Value* stored = plist::find(read.entries, key)) {
    std::cout << (info ? currentCell(*info, stored) : showValue(*stored)) << '\n';
  } else if (info != nullptr) {
    std::cout << "not set (the library uses " << info->defaultText << ")\n";
  } else {
    std::cout << "not set\n";
  }
  return 0;
}

void tellWaiting(const std::string& lockPath) {
  std::cerr << kTool << ": waiting for another writer to release the lock " << lockPath
            << " (given up if one writer keeps it " << kLockPatience.count() << " s)" << std::endl;
}

int change(const Options& options, const std::string& path) {
  const std::string& key = options.words[1];
  EditResult edit = options.words[0] == "set"
                        ? setKey(path, key, options.words[2], options.force, {tellWaiting})
                        : unsetKey(path, key, options.force, {tellWaiting});
  if (!edit.done) return fail(edit.message);
  if (!edit.keptAs.empty()) {
    std::cerr << kTool << ": the settings file could not be read; it was kept as " << edit.keptAs
              << '\n';
  }
  std::cout << edit.message << '\n';
  return 0;
}

int run(const CommandLine& line, const Options& options) {
  if (options.words.empty()) return line.usageError("no command");
  const std::string& command = options.words[0];
  std::size_t expected = command == "list"                        ? 1
                         : command == "get" || command == "unset" ? 2
                         : command == "set"                       ? 3
                                                                  : 0;
  if (expected == 0) return line.usageError("unknown command \"" + command + "\"");
  if (options.words.size() != expected) return line.usageError("wrong number of arguments");

  bool writes = command == "set" || command == "unset";
  std::string root = chooseDeviceRoot(options.root);
  bool mayCreate = writes && (options.createRoot || isDefaultDeviceRoot(root));
  if (std::string problem = deviceRootProblem(root, mayCreate); !problem.empty()) {
    std::error_code ignored;
    bool missing = !std::filesystem::exists(root, ignored);
    return fail(problem + (missing ? writes ? " (is it spelled right? --create-root makes it)"
                                            : " (is it spelled right?)"
                                   : ""));
  }
  std::string path = settingsPathUnder(root);
  const KeyInfo* info = command == "list" ? nullptr : findKey(options.words[1]);
  if (command != "list" && info == nullptr && !options.force) {
    return fail(unknownKey(options.words[1]));
  }
  if (writes) return change(options, path);
  SettingsRead read = readSettings(path);
  if (read.outcome == SettingsRead::Outcome::kUnreadable) {
    return fail("cannot read " + path + ": " + read.problem);
  }
  if (command == "list") {
    list(path, read);
    return 0;
  }
  return get(options.words[1], info, read);
}

// Reads the command line; returns an exit status when it is already decided.
std::optional<int> parse(CommandLine& line, int argc, char** argv, Options& options) {
  line.value("--root", options.root, "a directory", ", not an empty name");
  line.flag("--force", options.force);
  line.flag("--create-root", options.createRoot);
  if (std::optional<int> status = line.parse(argc, argv, options.words)) return status;
  // Before the command a word beginning "--" is a mistyped option; after it, a word to use:
  // a value may begin with dashes.
  if (!options.words.empty() && options.words.front().starts_with("--")) {
    return line.usageError("unknown option " + options.words.front());
  }
  return std::nullopt;
}

}  // namespace
}  // namespace vorla::tools

int main(int argc, char** argv) {
  // A reader that goes away (vorla-prefs list | head) is a failed write to report, as every
  // other failed write is, not a signal that ends the tool without a word.
  std::signal(SIGPIPE, SIG_IGN);
  vorla::tools::CommandLine line(vorla::tools::kTool, vorla::tools::kUsage);
  vorla::tools::Options options;
  std::optional<int> status = vorla::tools::parse(line, argc, argv, options);
  if (!status) status = vorla::tools::run(line, options);
  return vorla::tools::finishOutput(vorla::tools::kTool, *status);
}
