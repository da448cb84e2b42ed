#include "tweak/core/hook.h"

#include <algorithm>
#include <cstddef>

#include "tweak/core/method_directory.h"
#include "tweak/host/methods.h"

namespace vorla::core {
namespace {

// Swaps the implementation of a method the target class defines itself; false when the
// replacement is in place already.
bool swapOwn(Method method, const HookRequest& request) {
  IMP own = host::implementationOf(method);
  // Installed already (the same row run again): kept as the previous implementation, the
  // replacement would call itself until the stack ran out.
  if (own == request.replacement) return false;
  request.previousOut->store(own, std::memory_order_release);
  request.previousOut->store(host::setImplementationUnpublished(method, request.replacement),
                             std::memory_order_release);
  return true;
}

}  // namespace

Class installHooksUnpublished(Class targetClass, std::span<const HookRequest> requests,
                              MethodDirectory& directory) {
  if (targetClass == Nil) return Nil;
  std::vector<SEL> selectors;
  for (const HookRequest& request : requests) selectors.push_back(request.selector);
  std::vector<Definition> definitions(selectors.size());
  directory.find(targetClass, selectors, definitions);
  bool swapped = false;
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const auto [definer, method] = definitions[i];
    if (method == nullptr) continue;
    if (definer != targetClass) {
      // Adding a method rebuilds the class's tables at once.
      host::addMethod(targetClass, requests[i].selector, requests[i].replacement, method);
    } else {
      swapped |= swapOwn(method, requests[i]);
    }
  }
  return swapped ? targetClass : Nil;
}

void installHook(Class targetClass, SEL selector, IMP replacement, std::atomic<IMP>* previousOut) {
  const HookRequest request{selector, replacement, previousOut};
  MethodDirectory directory;
  Class touched = installHooksUnpublished(targetClass, {&request, 1}, directory);
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
