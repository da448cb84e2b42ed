// vorla-sim: shows, app by app, what the library does to every hooked method of simulated hosts.
#include <signal.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "hosts/host_apps.h"
#include "tools/sim/device_setup.h"
#include "tools/sim/formats.h"
#include "tools/sim/serve/serve.h"
#include "tools/sim/simulation.h"
#include "tools/sim/watch.h"

namespace vorla::sim {
namespace {

constexpr const char* kUsage =
    "usage: vorla-sim [APP...] [--format text|json|html] [--settings FILE | --root DIR]\n"
    "       vorla-sim --watch APP [--settings FILE | --root DIR]\n"
    "       vorla-sim --serve [--port N] [--settings FILE | --root DIR]\n"
    "Apps: safari cydia springboard preferences phone messages camera photos feed social\n"
    "(all when none is named). --settings simulates with a copy of FILE; otherwise the device\n"
    "root is --root, else VORLA_DEVICE_ROOT, else " VORLA_DEFAULT_DEVICE_ROOT
    ",\nwhich starts with the bundled example. --library FILE loads another build of the "
    "library.\n--serve shows every setting and every app on a page at 127.0.0.1 (port N, else a "
    "free one),\nchanged there or anywhere else; the printed address carries the run's token.\n";

struct Options {
  std::vector<std::string> apps;
  std::string format = "text";
  std::string settings;
  std::string root;
  std::string library = VORLA_LIBRARY_PATH;
  std::string watchApp;
  bool serve = false;
  std::string port;
};

int usageError(const std::string& message) {
  std::cerr << "vorla-sim: " << message << " (vorla-sim --help shows the usage)\n";
  return 2;
}

bool knownApp(const std::string& name) {
  for (const hosts::HostApp& app : hosts::hostApps()) {
    if (name == app.name) return true;
  }
  return false;
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

// Parses the command line; returns an exit status when it is already decided.
std::optional<int> parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string word = argv[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 == argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    std::optional<std::string> given;
    if (word == "--help" || word == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (word == "--format" || word == "--settings" || word == "--root" ||
               word == "--library" || word == "--watch" || word == "--port") {
      if (!(given = value())) return usageError(word + " needs a value");
      (word == "--format"     ? options.format
       : word == "--settings" ? options.settings
       : word == "--root"     ? options.root
       : word == "--library"  ? options.library
       : word == "--port"     ? options.port
                              : options.watchApp) = *given;
    } else if (word == "--serve") {
      options.serve = true;
    } else if (word.starts_with("-")) {
      return usageError("unknown option " + word);
    } else {
      options.apps.push_back(word);
    }
  }
  if (options.format != "text" && options.format != "json" && options.format != "html") {
    return usageError("unknown format \"" + options.format + "\" (text, json or html)");
  }
  if (!options.settings.empty() && !options.root.empty()) {
    return usageError("--settings and --root exclude each other");
  }
  if (options.serve) {
    if (!options.apps.empty() || !options.watchApp.empty() || options.format != "text") {
      return usageError("--serve shows every app, on its page only");
    }
  } else if (!options.port.empty()) {
    return usageError("--port goes with --serve");
  }
  if (!options.port.empty() && portNumber(options.port) < 0) {
    return usageError("--port takes a number from 1 to 65535, not \"" + options.port + "\"");
  }
  if (!options.watchApp.empty()) {
    if (!options.apps.empty()) return usageError("--watch takes one app and no others");
    if (options.format != "text") return usageError("--watch shows text only");
    options.apps.push_back(options.watchApp);
  }
  for (const std::string& app : options.apps) {
    if (!knownApp(app)) {
      std::string names;
      for (const hosts::HostApp& known : hosts::hostApps()) names += std::string(" ") + known.name;
      return usageError("unknown app \"" + app + "\"; the apps are" + names);
    }
  }
  if (options.apps.empty()) {
    for (const hosts::HostApp& app : hosts::hostApps()) options.apps.push_back(app.name);
  }
  return std::nullopt;
}

int run(const Options& options) {
  DeviceSetup setup(options.settings, options.root);
  if (!setup.error().empty()) {
    std::cerr << "vorla-sim: " << setup.error() << '\n';
    return 1;
  }
  if (!setup.note().empty()) std::cerr << "vorla-sim: " << setup.note() << '\n';
  Programs programs{helperPath(), options.library};
  if (!options.watchApp.empty()) return watch(options.watchApp, setup, programs);
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

}  // namespace
}  // namespace vorla::sim

int main(int argc, char** argv) {
  // A host process that ends early must not take the simulator with it.
  signal(SIGPIPE, SIG_IGN);
  vorla::sim::Options options;
  if (std::optional<int> status = vorla::sim::parse(argc, argv, options)) return *status;
  return vorla::sim::run(options);
}
