#include "tweak/core/feature_gate.h"

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

void installHooks(const std::vector<Hook>& hooks) {
  const char* currentName = nullptr;
  MethodKind currentKind = MethodKind::kInstance;
  Class target = Nil;
  const SavedSuperclass* saved = nullptr;
  std::vector<Class> touched;
  for (const Hook& hook : hooks) {
    bool sameTarget = currentName != nullptr && std::strcmp(currentName, hook.className) == 0 &&
                      currentKind == hook.kind;
    if (!sameTarget) {
      currentName = hook.className;
      currentKind = hook.kind;
      target = host::classNamed(hook.className);
      if (target != Nil && hook.kind == MethodKind::kClass) {
        target = host::metaclassOf(target);
      }
      saved = nullptr;
    }
    // One install per slot: a second shape on the same class, selector and kind would find the
    // first one's replacement in place and record it as the previous implementation, and the
    // two would call each other until the stack ran out.
    if (target == Nil || hook.slot->superclass.load(std::memory_order_acquire) != nullptr) continue;
    // One saved superclass per target of this constructor that installs anything, kept for the
    // life of the process.
    if (saved == nullptr) {
      auto* fresh = new SavedSuperclass;
      fresh->value.store(host::superclassOf(target), std::memory_order_release);
      saved = fresh;
    }
    hook.slot->superclass.store(saved, std::memory_order_release);
    Class swapped = installHookUnpublished(target, host::selectorNamed(hook.selector),
                                           hook.replacement, &hook.slot->previous);
    if (swapped != Nil) touched.push_back(swapped);
  }
  // The runtime rebuilds a class's tables with all its subclasses': once per class and table,
  // rather than once per hook.
  publishHooks(std::move(touched));
}

void FeatureGate(const Constructor& constructor) {
  id preferences = host::newSuitePreferences();
  bool on = readEnableFlag(preferences, host::temporaryString(constructor.enableKey));
  if (on) installHooks(constructor.hooks);
  host::release(preferences);
}

void runLoadSequence(std::span<const Constructor* const> sequence) {
  for (const Constructor* constructor : sequence) {
    if (constructor->enableKey != nullptr) {
      FeatureGate(*constructor);
    } else {
      if (constructor->prepare != nullptr) constructor->prepare();
      installHooks(constructor->hooks);
    }
  }
}

}  // namespace vorla::core
