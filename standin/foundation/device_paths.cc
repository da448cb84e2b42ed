#include "standin/foundation/device_paths.h"

#include <atomic>
#include <cstdlib>

namespace vorla::standin {

namespace {

// Without its trailing slashes. Roots once used stay alive, so a reader never holds a dangling
// one; a process uses a handful at most.
std::atomic<const std::string*> currentRoot{nullptr};

const std::string* rootFromEnvironment() {
  const char* root = std::getenv("VORLA_DEVICE_ROOT");
  auto* trimmed = new std::string(root != nullptr ? root : "");
  while (!trimmed->empty() && trimmed->back() == '/') trimmed->pop_back();
  return trimmed;
}

const std::string& root() {
  const std::string* current = currentRoot.load(std::memory_order_acquire);
  if (current == nullptr) {
    const std::string* fresh = rootFromEnvironment();
    if (currentRoot.compare_exchange_strong(current, fresh, std::memory_order_acq_rel)) {
      current = fresh;
    } else {
      delete fresh;
    }
  }
  return *current;
}

}  // namespace

const std::string& devicePath(std::string_view absolutePath) {
  // Built in a buffer the thread keeps: settings are read on hot paths.
  thread_local std::string path;
  path.assign(root());
  if (absolutePath.empty() || absolutePath.front() != '/') path += '/';
  path += absolutePath;
  return path;
}

void useDeviceRoot(const std::string& root) {
  setenv("VORLA_DEVICE_ROOT", root.c_str(), 1);
  currentRoot.store(rootFromEnvironment(), std::memory_order_release);
}

std::string suitePath(std::string_view suite) {
  std::string path = "/var/mobile/Library/Preferences/";
  path += suite;
  path += ".plist";
  return path;
}

}  // namespace vorla::standin
