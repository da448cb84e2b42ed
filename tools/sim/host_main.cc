// vorla-sim-host: one simulated host app, run by vorla-sim in a process of its own. It is set up as
// a host process is (the stand-in, the app's classes, then the library loaded with dlopen),
// and contains none of the library's code, so the library's exported variables are its own.
//
// usage: vorla-sim-host LIBRARY APP, with the device root in VORLA_DEVICE_ROOT. The hooks to drive
// arrive on standard input; each round of outcomes goes to standard output, and another round is
// driven at every request for another, until the input ends. The app "all-hooked" (for the tests)
// has every app's classes and the hooked method no app's models answer, so that every hook has its
// target in one process.
#include <dirent.h>
#include <dlfcn.h>
#include <signal.h>

#include <iostream>
#include <string>

#include "hosts/host_apps.h"
#include "standin/runtime/object.h"
#include "tools/sim/method_driver.h"
#include "tools/sim/protocol.h"

namespace vorla::sim {
namespace {

std::optional<std::string> nextLine() {
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  return line;
}

Class targetOf(const PlannedHook& hook) {
  Class cls = objc_getClass(hook.className.c_str());
  if (cls != Nil && hook.classMethod) cls = object_getClass(reinterpret_cast<id>(cls));
  return cls;
}

// Whether the class defines the method itself, and with which implementation.
struct Installation {
  bool ownMethod = false;
  IMP implementation = nullptr;
  bool answers = false;  // anywhere in the chain
};

Installation installationOf(const PlannedHook& hook) {
  Installation seen;
  Class cls = targetOf(hook);
  if (cls == Nil) return seen;
  SEL selector = sel_registerName(hook.selector.c_str());
  seen.answers = class_getInstanceMethod(cls, selector) != nullptr;
  unsigned count = 0;
  Method* methods = class_copyMethodList(cls, &count);
  for (unsigned i = 0; i < count; ++i) {
    if (sel_isEqual(method_getName(methods[i]), selector)) {
      seen.ownMethod = true;
      seen.implementation = method_getImplementation(methods[i]);
    }
  }
  std::free(methods);
  return seen;
}

void registerEveryHookedClass() {
  for (const hosts::HostApp& app : hosts::hostApps()) app.registerModels();
  hosts::registerLegibilitySecondaryColourSetter();
}

Holdings holdingsNow() {
  Holdings held{standin::liveObjectCount(), 0};
  if (DIR* directory = opendir("/proc/self/fd")) {
    while (dirent* entry = readdir(directory)) held.descriptors += entry->d_name[0] != '.';
    closedir(directory);
    --held.descriptors;  // the directory's own
  }
  return held;
}

Status statusOf(const PlannedHook& hook, const Installation& before, const Installation& after) {
  if (objc_getClass(hook.className.c_str()) == Nil) return Status::kClassAbsent;
  if (after.implementation != before.implementation) {
    return before.ownMethod ? Status::kReplaced : Status::kAdded;
  }
  if (!hook.enableKey.empty() && !hook.enableKeyOn) return Status::kKeyOff;
  if (!after.answers) return Status::kMethodAbsent;
  return Status::kUnchanged;
}

int run(const char* library, const char* appName) {
  std::optional<std::vector<PlannedHook>> plan = readPlan(nextLine);
  if (!plan) {
    writeError(std::cout, "the hooks to drive could not be read");
    return 2;
  }
  static const hosts::HostApp allHooked{"all-hooked", "every hooked class",
                                        registerEveryHookedClass};
  const hosts::HostApp* app = std::string(appName) == allHooked.name ? &allHooked : nullptr;
  for (const hosts::HostApp& candidate : hosts::hostApps()) {
    if (std::string(candidate.name) == appName) app = &candidate;
  }
  if (app == nullptr) {
    writeError(std::cout, std::string("unknown app ") + appName);
    return 2;
  }

  std::vector<HookOutcome> outcomes(plan->size());
  hosts::registerInterfaceModels();
  for (std::size_t i = 0; i < plan->size(); ++i) {
    outcomes[i].index = (*plan)[i].index;
    outcomes[i].scope =
        objc_getClass((*plan)[i].className.c_str()) ? Scope::kEvery : Scope::kAbsent;
  }
  app->registerModels();
  std::vector<Installation> before;
  for (std::size_t i = 0; i < plan->size(); ++i) {
    const PlannedHook& hook = (*plan)[i];
    if (outcomes[i].scope == Scope::kAbsent && objc_getClass(hook.className.c_str())) {
      outcomes[i].scope = Scope::kApp;
    }
    before.push_back(installationOf(hook));
    outcomes[i].without = drive(hook, outcomes[i].passed);
  }

  if (dlopen(library, RTLD_NOW | RTLD_LOCAL) == nullptr) {
    const char* why = dlerror();
    writeError(std::cout, std::string("cannot load the library: ") + (why ? why : library));
    return 3;
  }
  for (std::size_t i = 0; i < plan->size(); ++i) {
    outcomes[i].status = statusOf((*plan)[i], before[i], installationOf((*plan)[i]));
  }
  do {
    for (std::size_t i = 0; i < plan->size(); ++i) {
      outcomes[i].with = drive((*plan)[i], outcomes[i].passed);
    }
    writeOutcomes(std::cout, outcomes, holdingsNow());
  } while (isDriveAgain(nextLine()));
  return 0;
}

}  // namespace
}  // namespace vorla::sim

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: vorla-sim-host LIBRARY APP (run by vorla-sim)\n";
    return 2;
  }
  // A Ctrl-C reaches the whole terminal's process group: the simulator ends its hosts itself.
  signal(SIGINT, SIG_IGN);
  return vorla::sim::run(argv[1], argv[2]);
}
