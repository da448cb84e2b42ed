// vorla-sim: shows, app by app, what the library does to every hooked method of simulated hosts.
#include <fmt/format.h>
#include <fmt/ranges.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <ranges>
#include <string>
#include <vector>

#include "hosts/host_apps.h"
#include "standin/foundation/device_paths.h"
#include "standin/text/ascii.h"
#include "tools/common/command_line.h"
#include "tools/common/tool_output.h"
#include "tools/sim/device_setup.h"
#include "tools/sim/formats.h"
#include "tools/sim/serve/serve.h"
#include "tools/sim/simulation.h"
#include "tools/sim/watch.h"

namespace vorla::sim {
namespace {

constexpr const char* kTool = "vorla-sim";

// The apps' names, as the usage and the refusal of an unknown app list them.
std::string appNames() {
  auto names = hosts::hostApps() | std::views::transform(&hosts::HostApp::name);
  return fmt::format("{}", fmt::join(names, " "));
}

std::string usage() {
  return "usage: vorla-sim [APP...] [--format text|json|html] [--settings FILE | --root DIR]\n"
         "       vorla-sim --watch APP [--settings FILE | --root DIR]\n"
         "       vorla-sim --serve [--port N] [--settings FILE | --root DIR]\n"
         "Apps: " +
         appNames() +
         "\n(all when none is named; in any case; settings is preferences).\n"
         "--settings simulates with a copy of FILE; otherwise the device root is --root, else\n"
         "VORLA_DEVICE_ROOT, else " VORLA_DEFAULT_DEVICE_ROOT
         ",\nwhich starts with the bundled example. --library FILE loads another build of the\n"
         "library. --serve shows every setting and every app on a page at 127.0.0.1 (port N, else\n"
         "a free one), changed there or anywhere else; the printed address carries the run's "
         "token.\n"
         "Every option's value may also follow an equals sign: --format=json.\n";
}

struct Options {
  std::vector<std::string> apps;
  std::string format = "text";
  std::string settings;
  std::string root;
  std::string library = VORLA_LIBRARY_PATH;
  bool watch = false;
  bool serve = false;
  std::string port;
};

// The app `word` names, by its name or its title in any case ("Settings" is "preferences").
const hosts::HostApp* appNamed(const std::string& word) {
  for (const hosts::HostApp& app : hosts::hostApps()) {
    if (text::ascii::equalsIgnoringCase(app.name, word) ||
        text::ascii::equalsIgnoringCase(app.title, word)) {
      return &app;
    }
  }
  return nullptr;
}

std::string helperPath() {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return (self.parent_path() / "vorla-sim-host").string();
}

// -1 unless `text` is a port number.
int portNumber(const std::string& text) {
  int port = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
  bool whole = error == std::errc() && end == text.data() + text.size();
  return whole && port >= 1 && port <= 65535 ? port : -1;
}

// Reads the command line; returns an exit status when it is already decided.
std::optional<int> parse(tools::CommandLine& line, int argc, char** argv, Options& options) {
  for (auto [name, value] : {std::pair{"--format", &options.format},
                             {"--settings", &options.settings},
                             {"--root", &options.root},
                             {"--library", &options.library},
                             {"--port", &options.port}}) {
    line.value(name, *value, "a value", ", not an empty one");
  }
  line.flag("--serve", options.serve);
  // --watch takes its app as any other word, or after an equals sign: --watch=APP.
  std::vector<std::string> watched;
  CLI::Option* watch = line.app().add_option("--watch", watched)->expected(0, 1)->take_all();
  std::vector<std::string> words;
  if (std::optional<int> status = line.parse(argc, argv, words)) return status;
  options.watch = watch->count() > 0;
  std::vector<std::string> named;
  std::copy_if(watched.begin(), watched.end(), std::back_inserter(named),
               [](const std::string& app) { return !app.empty(); });
  for (const std::string& word : words) {
    if (word.starts_with("-")) return line.usageError("unknown option " + word);
    named.push_back(word);
  }
  if (options.format != "text" && options.format != "json" && options.format != "html") {
    return line.usageError("unknown format \"" + options.format + "\" (text, json or html)");
  }
  if (!options.settings.empty() && !options.root.empty()) {
    return line.usageError("--settings and --root exclude each other");
  }
  if (options.serve) {
    if (!named.empty() || options.watch || options.format != "text") {
      return line.usageError("--serve shows every app, on its page only");
    }
  } else if (!options.port.empty()) {
    return line.usageError("--port goes with --serve");
  }
  if (!options.port.empty() && portNumber(options.port) < 0) {
    return line.usageError("--port takes a number from 1 to 65535, not \"" + options.port + "\"");
  }
  for (const std::string& word : named) {
    const hosts::HostApp* app = appNamed(word);
    if (app == nullptr) {
      return line.usageError("unknown app \"" + word + "\"; the apps are " + appNames());
    }
    if (std::find(options.apps.begin(), options.apps.end(), app->name) == options.apps.end()) {
      options.apps.push_back(app->name);
    }
  }
  if (options.watch) {
    if (options.apps.size() != 1) return line.usageError("--watch takes one app");
    if (options.format != "text") return line.usageError("--watch shows text only");
  }
  if (options.apps.empty()) {
    for (const hosts::HostApp& app : hosts::hostApps()) options.apps.push_back(app.name);
  }
  return std::nullopt;
}

int simulateIn(DeviceSetup& setup, const Options& options) {
  if (!setup.error().empty()) {
    std::cerr << "vorla-sim: " << setup.error() << '\n';
    return 1;
  }
  if (!setup.note().empty()) std::cerr << "vorla-sim: " << setup.note() << '\n';
  // Set once: the simulator reads the enable keys through the stand-in, from this root.
  standin::useDeviceRoot(setup.root());
  Programs programs{helperPath(), options.library};
  if (options.watch) return watch(options.apps.front(), setup, programs);
  if (options.serve) {
    return serve(setup, programs, options.port.empty() ? 0 : portNumber(options.port));
  }

  Report report{setup.settingsFile(), setup.root(), options.library, {}};
  if (std::string problem = simulate(options.apps, programs, setup.root(), report);
      !problem.empty()) {
    std::cerr << "vorla-sim: " << problem << '\n';
    return 1;
  }
  if (options.format == "json") {
    writeJson(std::cout, report);
  } else if (options.format == "html") {
    writeHtml(std::cout, report);
  } else {
    writeText(std::cout, report);
  }
  return 0;
}

int run(const Options& options) {
  DeviceSetup setup(options.settings, options.root);
  // Checked before the set-up is torn down, while errno still tells why a write failed.
  return tools::finishOutput(kTool, simulateIn(setup, options));
}

}  // namespace
}  // namespace vorla::sim

int main(int argc, char** argv) {
  // A host process that ends early must not take the simulator with it.
  signal(SIGPIPE, SIG_IGN);
  vorla::tools::CommandLine line(vorla::sim::kTool, vorla::sim::usage());
  vorla::sim::Options options;
  if (std::optional<int> status = vorla::sim::parse(line, argc, argv, options)) {
    return vorla::tools::finishOutput(vorla::sim::kTool, *status);
  }
  return vorla::sim::run(options);
}
