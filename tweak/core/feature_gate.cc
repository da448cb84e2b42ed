#include "tweak/core/feature_gate.h"

#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "tweak/host/methods.h"
#include "tweak/host/services.h"

namespace vorla::core {

bool readEnableFlag(id preferences, id key) {
  host::Held value(host::preferencesValue(preferences, key));
  if (value) return host::boolReading(value.get());
  return host::boolReading(host::numberWithBool(NO));
}

namespace {

bool sameTarget(const Hook& a, const Hook& b) {
  return a.kind == b.kind && std::strcmp(a.className, b.className) == 0;
}

// The class a row's hook goes on: the metaclass for a class method. Nil while the class is absent.
Class targetOf(const Hook& hook) {
  Class cls = host::classNamed(hook.className);
  return cls != Nil && hook.kind == MethodKind::kClass ? host::metaclassOf(cls) : cls;
}

// A directory for one constructor's rows alone, when no load shares one.
MethodDirectory directoryFor(const std::vector<Hook>& hooks) {
  std::vector<const Hook*> rows;
  for (const Hook& hook : hooks) rows.push_back(&hook);
  return MethodDirectory(std::move(rows));
}

}  // namespace

void installTableRows(const std::vector<Hook>& hooks) {
  MethodDirectory directory = directoryFor(hooks);
  installTableRows(hooks, directory);
}

void installTableRows(const std::vector<Hook>& hooks, MethodDirectory& directory) {
  std::vector<Class> touched;
  std::vector<HookRequest> requests;
  // One target at a time: the consecutive rows of one class and method kind.
  for (std::size_t first = 0, end = 0; first < hooks.size(); first = end) {
    end = first + 1;
    while (end < hooks.size() && sameTarget(hooks[first], hooks[end])) ++end;
    Class target = targetOf(hooks[first]);
    if (target == Nil) continue;
    requests.clear();
    const SavedSuperclass* saved = nullptr;
    for (std::size_t row = first; row < end; ++row) {
      const Hook& hook = hooks[row];
      // One install per slot: a second shape on the same class, selector and kind would find the
      // first one's replacement in place and record it as the previous implementation, and the
      // two would call each other until the stack ran out.
      if (hook.slot->superclass.load(std::memory_order_acquire) != nullptr) continue;
      // One saved superclass per target of this constructor that installs anything, kept for
      // the life of the process.
      if (saved == nullptr) {
        auto* fresh = new SavedSuperclass;
        fresh->value.store(host::superclassOf(target), std::memory_order_release);
        saved = fresh;
      }
      hook.slot->superclass.store(saved, std::memory_order_release);
      requests.push_back(
          {host::selectorNamed(hook.selector), hook.replacement, &hook.slot->previous});
    }
    Class swapped = installHooksUnpublished(target, requests, directory);
    if (swapped != Nil) touched.push_back(swapped);
  }
  // The runtime rebuilds a class's tables with all its subclasses': once per class and table,
  // rather than once per hook.
  publishHooks(std::move(touched));
}

void FeatureGate(const Constructor& constructor) {
  MethodDirectory directory = directoryFor(constructor.hooks);
  FeatureGate(constructor, directory);
}

void FeatureGate(const Constructor& constructor, MethodDirectory& directory) {
  id preferences = host::newSuitePreferences();
  bool on = readEnableFlag(preferences, host::temporaryString(constructor.enableKey));
  if (on) installTableRows(constructor.hooks, directory);
  host::release(preferences);
}

void runLoadSequence(std::span<const Constructor* const> sequence) {
  // Every row of the load: a class walked for one constructor is walked for all of them.
  std::vector<const Hook*> rows;
  for (const Constructor* constructor : sequence) {
    for (const Hook& hook : constructor->hooks) rows.push_back(&hook);
  }
  MethodDirectory directory(std::move(rows));
  for (const Constructor* constructor : sequence) {
    if (constructor->enableKey != nullptr) {
      FeatureGate(*constructor, directory);
    } else {
      if (constructor->prepare != nullptr) constructor->prepare();
      installTableRows(constructor->hooks, directory);
    }
  }
}

}  // namespace vorla::core
