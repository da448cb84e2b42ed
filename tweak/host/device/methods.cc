// Classes and their methods through the device runtime's public functions only.
#include "tweak/host/methods.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tweak/host/device/class_api.h"
#include "tweak/host/runtime.h"

namespace vorla::host {
namespace {

// The methods a class defines itself, as the runtime copies them; the copy is freed with the list.
class OwnMethodList {
 public:
  explicit OwnMethodList(Class cls) : methods_(class_copyMethodList(cls, &count_)) {}
  ~OwnMethodList() { std::free(methods_); }
  OwnMethodList(const OwnMethodList&) = delete;
  OwnMethodList& operator=(const OwnMethodList&) = delete;

  std::span<const Method> methods() const { return {methods_, methods_ ? count_ : 0u}; }

 private:
  unsigned int count_ = 0;
  Method* methods_;
};

}  // namespace

Class metaclassOf(Class cls) { return object_getClass(reinterpret_cast<id>(cls)); }

Class superclassOf(Class cls) { return class_getSuperclass(cls); }

const char* nameOf(Class cls) { return class_getName(cls); }

bool isMetaclass(Class cls) { return class_isMetaClass(cls) != NO; }

const void* methodsVersion(Class cls) {
  // The runtime never removes a method, so the count changes exactly when the class gains one.
  const std::size_t count = OwnMethodList(cls).methods().size();
  return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(count));
}

void findOwnMethods(Class cls, std::span<const SEL> selectors, std::span<Method> found) {
  std::fill(found.begin(), found.end(), nullptr);
  std::size_t missing = selectors.size();
  if (missing == 0) return;
  const OwnMethodList list(cls);
  // A name found first is the one that runs: a category's methods come before the class's own.
  for (Method method : list.methods()) {
    const SEL name = method_getName(method);
    for (std::size_t s = 0; s < selectors.size(); ++s) {
      if (found[s] == nullptr && sameSelector(selectors[s], name)) {
        found[s] = method;
        --missing;
      }
    }
    if (missing == 0) break;
  }
}

IMP implementationOf(Method method) { return method_getImplementation(method); }

void addMethod(Class cls, SEL selector, IMP implementation, Method inherited) {
  class_addMethod(cls, selector, implementation, method_getTypeEncoding(inherited));
}

IMP setImplementationUnpublished(Method method, IMP replacement) {
  return method_setImplementation(method, replacement);
}

void rebuildDispatch(Class) {}

}  // namespace vorla::host
