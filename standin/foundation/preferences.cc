// HBPreferences: one shared store per suite in the process, kept current with the suite's file
// by a watcher thread, writing bound variables as the platform's preferences service does.
#include <objc/message.h>
#include <poll.h>
#include <pthread.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "standin/foundation/device_paths.h"
#include "standin/foundation/property_list_files.h"
#include "standin/foundation/registration.h"
#include "standin/foundation/value_bodies.h"
#include "standin/foundation/values.h"
#include "standin/runtime/class_builder.h"
#include "standin/text/foundation_conversions.h"

namespace vorla::standin {
namespace {

// How often the watcher looks at the files even when no change was announced: a directory that
// did not exist yet, or a file system without change notification.
constexpr int kPollMilliseconds = 200;

struct Binding {
  enum class Kind { kBool, kDouble, kObject } kind;
  void* variable;
  std::string key;
  double defaultNumber = 0;
  id defaultObject = nil;
};

class SuiteStore {
 public:
  explicit SuiteStore(std::string path)
      : path_(std::move(path)), directory_(std::filesystem::path(path_).parent_path().string()) {
    refresh();
  }

  const std::string& path() const { return path_; }
  const std::string& directory() const { return directory_; }

  // Reads the file again and, when its content changed, updates every bound variable.
  void refresh() {
    id latest = readDictionaryFile(path_);
    std::lock_guard lock(mutex_);
    if (latest == current_) {
      releaseObject(latest);
      return;
    }
    releaseObject(current_);
    current_ = latest;
    for (const Binding& binding : bindings_) apply(binding);
  }

  id copyValue(id key) {
    std::lock_guard lock(mutex_);
    return retainObject(valueFor(key));
  }

  void bind(Binding binding) {
    std::lock_guard lock(mutex_);
    makeImmortal(binding.defaultObject);
    bindings_.push_back(std::move(binding));
    apply(bindings_.back());
  }

 private:
  id valueFor(id key) {
    SEL objectForKey = sel_registerName("objectForKey:");
    return current_ == nil ? nil
                           : reinterpret_cast<id (*)(id, SEL, id)>(objc_msg_lookup(
                                 current_, objectForKey))(current_, objectForKey, key);
  }

  id valueFor(const std::string& key) {
    id text = newString(key);
    id value = valueFor(text);
    releaseObject(text);
    return value;
  }

  // A value of the wrong kind reads as if nothing were stored.
  void apply(const Binding& binding) {
    id value = valueFor(binding.key);
    auto* number = bodyOf<NumberBody>(value);
    auto text = stringOf(value);
    switch (binding.kind) {
      case Binding::Kind::kBool: {
        bool on = number ? (number->kind == NumberBody::Kind::kReal ? number->real != 0
                                                                    : number->integer != 0)
                  : text ? text::textBoolValue(*text)
                         : binding.defaultNumber != 0;
        std::atomic_ref(*static_cast<BOOL*>(binding.variable))
            .store(on ? YES : NO, std::memory_order_relaxed);
        break;
      }
      case Binding::Kind::kDouble: {
        double reading = binding.defaultNumber;
        if (number) {
          reading =
              number->kind == NumberBody::Kind::kReal ? number->real : number->integer.toDouble();
        } else if (text) {
          reading = text::textNumber(*text).value_or(binding.defaultNumber);
        }
        std::atomic_ref(*static_cast<double*>(binding.variable))
            .store(reading, std::memory_order_relaxed);
        break;
      }
      case Binding::Kind::kObject: {
        id published = text ? publish(*text) : binding.defaultObject;
        // Release: a reader that loads the pointer with acquire also sees the text it points to.
        std::atomic_ref(*static_cast<id*>(binding.variable))
            .store(published, std::memory_order_release);
        break;
      }
    }
  }

  // A reader may still hold whatever a variable held before, so every text ever published stays
  // alive; equal texts share one object, which bounds the cost to the distinct texts seen.
  id publish(std::string_view text) {
    auto [it, inserted] = published_.try_emplace(std::string(text), nil);
    if (inserted) {
      it->second = newString(text);
      makeImmortal(it->second);
    }
    return it->second;
  }

  const std::string path_;
  const std::string directory_;
  std::mutex mutex_;
  id current_ = nil;
  std::vector<Binding> bindings_;
  std::map<std::string, id, std::less<>> published_;
};

class Watcher {
 public:
  static Watcher& shared() {
    static auto* watcher = new Watcher;  // never destroyed: its thread runs until the process ends
    return *watcher;
  }

  // Opened here rather than by the thread, so that the process's descriptors are settled as soon
  // as the first store exists.
  Watcher() : notifications_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

  SuiteStore* storeFor(const std::string& suite) {
    std::lock_guard lock(mutex_);
    auto& store = stores_[suite];
    if (store == nullptr) {
      store = new SuiteStore(devicePath(suitePath(suite)));
      if (!started_) {
        started_ = true;
        std::thread thread([this] { run(); });
        // Named so that a debugger, ps or a test can tell it from the host's own threads.
        pthread_setname_np(thread.native_handle(), "vorla-watcher");
        thread.detach();
      }
    }
    return store;
  }

 private:
  void run() {
    const int notifications = notifications_;
    std::map<std::string, int> watched;  // directory -> watch descriptor
    for (;;) {
      std::vector<SuiteStore*> stores;
      {
        std::lock_guard lock(mutex_);
        for (auto& [suite, store] : stores_) stores.push_back(store);
      }
      if (notifications >= 0) {
        for (SuiteStore* store : stores) {
          const std::string& directory = store->directory();
          int& wd = watched.try_emplace(directory, -1).first->second;
          if (wd < 0) {
            wd = inotify_add_watch(notifications, directory.c_str(),
                                   IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE |
                                       IN_MODIFY | IN_DELETE_SELF | IN_MOVE_SELF);
          }
        }
      }
      for (SuiteStore* store : stores) store->refresh();
      waitForChange(notifications, watched);
    }
  }

  // Sleeps until a watched directory announces a change or the poll interval passes. A watch
  // whose directory went away is dropped so that the next round adds it again.
  static void waitForChange(int notifications, std::map<std::string, int>& watched) {
    if (notifications < 0) {
      ::usleep(kPollMilliseconds * 1000);
      return;
    }
    pollfd pfd{notifications, POLLIN, 0};
    if (::poll(&pfd, 1, kPollMilliseconds) <= 0) return;
    alignas(inotify_event) char buffer[4096];
    ssize_t n;
    while ((n = ::read(notifications, buffer, sizeof buffer)) > 0) {
      for (ssize_t offset = 0; offset < n;) {
        auto* event = reinterpret_cast<inotify_event*>(buffer + offset);
        if (event->mask & IN_IGNORED) {
          for (auto& [directory, wd] : watched) {
            if (wd == event->wd) wd = -1;
          }
        }
        offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
  }

  const int notifications_;
  std::mutex mutex_;
  bool started_ = false;
  std::map<std::string, SuiteStore*> stores_;
};

struct PreferencesBody : Body {
  SuiteStore* store = nullptr;
};

// An object never initialised with a suite reads as a suite with nothing stored: every key
// absent, every registered variable its default. The empty path names no file, and this store
// is never watched.
SuiteStore& noSuite() {
  static auto* store = new SuiteStore("");  // never destroyed, as the suites' stores are not
  return *store;
}

SuiteStore& storeOf(id preferences) {
  auto* body = bodyOf<PreferencesBody>(preferences);
  return body ? *body->store : noSuite();
}

id initWithIdentifier(id preferences, SEL, id identifier) {
  auto suite = stringOf(identifier);
  if (!suite || suite->empty()) {
    releaseObject(preferences);
    return nil;
  }
  auto body = std::make_unique<PreferencesBody>();
  body->store = Watcher::shared().storeFor(std::string(*suite));
  attachBody(preferences, std::move(body));
  return preferences;
}

id objectForKey(id preferences, SEL, id key) {
  return autoreleaseObject(storeOf(preferences).copyValue(key));
}

std::string keyText(id key) { return std::string(stringOf(key).value_or("")); }

void registerBool(id preferences, SEL, BOOL* variable, BOOL fallback, id key) {
  if (variable == nullptr || !stringOf(key)) return;
  storeOf(preferences).bind({Binding::Kind::kBool, variable, keyText(key), fallback ? 1.0 : 0.0});
}

void registerDouble(id preferences, SEL, double* variable, double fallback, id key) {
  if (variable == nullptr || !stringOf(key)) return;
  storeOf(preferences).bind({Binding::Kind::kDouble, variable, keyText(key), fallback});
}

void registerObject(id preferences, SEL, id* variable, id fallback, id key) {
  if (variable == nullptr || !stringOf(key)) return;
  storeOf(preferences).bind({Binding::Kind::kObject, variable, keyText(key), 0, fallback});
}

}  // namespace

void registerPreferencesClass() {
  ClassBuilder("HBPreferences", "NSObject")
      .instanceMethod("initWithIdentifier:", initWithIdentifier)
      .instanceMethod("objectForKey:", objectForKey)
      .instanceMethod("registerBool:default:forKey:", registerBool)
      .instanceMethod("registerDouble:default:forKey:", registerDouble)
      .instanceMethod("registerObject:default:forKey:", registerObject)
      .build();
}

}  // namespace vorla::standin
