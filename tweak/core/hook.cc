#include "tweak/core/hook.h"

#include <algorithm>

#include "tweak/host/methods.h"

namespace vorla::core {

Class installHookUnpublished(Class targetClass, SEL selector, IMP replacement,
                             std::atomic<IMP>* previousOut) {
  if (targetClass == Nil) return Nil;
  for (Class current = targetClass; current != Nil; current = host::superclassOf(current)) {
    Method found = host::ownMethod(current, selector);
    if (found == nullptr) continue;
    if (current != targetClass) {
      // Adding a method rebuilds the class's tables at once.
      host::addMethod(targetClass, selector, replacement, found);
      return Nil;
    }
    IMP own = host::implementationOf(found);
    // Installed already (the same row run again): kept as the previous implementation, the
    // replacement would call itself until the stack ran out.
    if (own == replacement) return Nil;
    previousOut->store(own, std::memory_order_release);
    previousOut->store(host::setImplementationUnpublished(found, replacement),
                       std::memory_order_release);
    return targetClass;
  }
  return Nil;
}

void installHook(Class targetClass, SEL selector, IMP replacement, std::atomic<IMP>* previousOut) {
  Class touched = installHookUnpublished(targetClass, selector, replacement, previousOut);
  if (touched != Nil) publishHooks({touched});
}

void publishHooks(std::vector<Class> touched) {
  std::sort(touched.begin(), touched.end());
  touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
  for (Class cls : touched) {
    // A rebuild covers every subclass: a class below another touched one is rebuilt with it.
    bool belowTouched = false;
    for (Class up = host::superclassOf(cls); up != Nil && !belowTouched;
         up = host::superclassOf(up)) {
      belowTouched = std::binary_search(touched.begin(), touched.end(), up);
    }
    if (!belowTouched) host::rebuildDispatch(cls);
  }
}

}  // namespace vorla::core
