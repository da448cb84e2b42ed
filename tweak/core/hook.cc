#include "tweak/core/hook.h"

#include <cstdint>
#include <cstdlib>

#include "tweak/host/runtime.h"

namespace vorla::core {
namespace {

// The method that `cls` itself defines for `selector`, if any. The caller frees `*methods`.
Method findOwnMethod(Class cls, SEL selector, Method** methods) {
  static_assert(sizeof(unsigned int) == sizeof(std::uint32_t));
  unsigned int count = 0;
  *methods = class_copyMethodList(cls, &count);
  for (unsigned int i = 0; i < count; ++i) {
    if (sel_isEqual(method_getName((*methods)[i]), selector)) return (*methods)[i];
  }
  return nullptr;
}

}  // namespace

void installHook(Class targetClass, SEL selector, IMP replacement, std::atomic<IMP>* previousOut) {
  if (targetClass == Nil) return;
  for (Class current = targetClass; current != Nil; current = class_getSuperclass(current)) {
    Method* methods = nullptr;
    Method found = findOwnMethod(current, selector, &methods);
    if (found == nullptr) {
      std::free(methods);
      continue;
    }
    if (current == targetClass) {
      previousOut->store(method_getImplementation(found), std::memory_order_release);
      previousOut->store(host::setImplementation(targetClass, found, replacement),
                         std::memory_order_release);
    } else {
      class_addMethod(targetClass, selector, replacement, method_getTypeEncoding(found));
    }
    std::free(methods);
    return;
  }
}

IMP previousImplementation(const HookSlot& slot, SEL selector) {
  IMP previous = slot.previous.load(std::memory_order_acquire);
  if (previous != nullptr) return previous;
  const SavedSuperclass* saved = slot.superclass.load(std::memory_order_acquire);
  Class superclass = saved ? saved->value.load(std::memory_order_acquire) : Nil;
  return superclass ? class_getMethodImplementation(superclass, selector) : nullptr;
}

}  // namespace vorla::core
