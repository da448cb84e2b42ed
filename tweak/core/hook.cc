#include "tweak/core/hook.h"

#include "tweak/host/methods.h"

namespace vorla::core {

void installHook(Class targetClass, SEL selector, IMP replacement, std::atomic<IMP>* previousOut) {
  if (targetClass == Nil) return;
  for (Class current = targetClass; current != Nil; current = host::superclassOf(current)) {
    Method found = host::ownMethod(current, selector);
    if (found == nullptr) continue;
    if (current != targetClass) {
      host::addMethod(targetClass, selector, replacement, found);
      return;
    }
    IMP own = host::implementationOf(found);
    // Installed already (the same row run again): kept as the previous implementation, the
    // replacement would call itself until the stack ran out.
    if (own == replacement) return;
    previousOut->store(own, std::memory_order_release);
    previousOut->store(host::setImplementation(targetClass, found, replacement),
                       std::memory_order_release);
    return;
  }
}

IMP previousImplementation(const HookSlot& slot, SEL selector) {
  IMP previous = slot.previous.load(std::memory_order_acquire);
  if (previous != nullptr) return previous;
  const SavedSuperclass* saved = slot.superclass.load(std::memory_order_acquire);
  Class superclass = saved ? saved->value.load(std::memory_order_acquire) : Nil;
  return superclass ? host::resolve(superclass, selector) : nullptr;
}

}  // namespace vorla::core
