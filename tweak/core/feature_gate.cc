#include "tweak/core/feature_gate.h"

#include <cstring>

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
      // One saved superclass per present target of this constructor, kept for the life of the
      // process.
      saved = nullptr;
      if (target != Nil) {
        auto* fresh = new SavedSuperclass;
        fresh->value.store(host::superclassOf(target), std::memory_order_release);
        saved = fresh;
      }
    }
    if (target == Nil) continue;
    hook.slot->superclass.store(saved, std::memory_order_release);
    installHook(target, host::selectorNamed(hook.selector), hook.replacement, &hook.slot->previous);
  }
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
