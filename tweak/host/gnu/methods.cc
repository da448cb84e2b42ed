// Classes and their methods on GCC's runtime, for speed at load beside its public functions:
// - class_copyMethodList copies every method of the class at each call, most of a load with every
//   key on, where a host class has hundreds of methods and a constructor looks for several; one
//   walk of the class's method lists in place answers for all of them.
// - method_setImplementation walks every method of every class in the process to patch each table
//   that holds the method (most of a load with every key on, in a host of a few hundred classes),
//   misses subclasses that already have tables, and, while the class has no table of its own,
//   patches the one table that every class which has not received a message yet shares, so that
//   all of them would run the replacement. Writing the method alone touches no table; the rebuild
//   then gives each class that has one the new implementation, and a class that has none yet
//   builds it from its methods when it receives its first message.
#include "tweak/host/methods.h"

#include <objc/thr.h>

#include <algorithm>
#include <cstddef>

#include "tweak/host/gnu/compiled_layout.h"
#include "tweak/host/runtime.h"

// The runtime's own routine that rebuilds the dispatch tables of a class and its subclasses, and
// the lock it changes classes and methods under; it exports both without declaring them.
extern "C" void __objc_update_dispatch_table_for_class(Class cls);
extern "C" objc_mutex_t __objc_runtime_mutex;

namespace {

using vorla::gnu_layout::ClassRecord;
using vorla::gnu_layout::MethodListRecord;
using vorla::gnu_layout::MethodRecord;
using vorla::gnu_layout::SelectorRecord;

const void* selectorId(SEL selector) {
  return reinterpret_cast<const SelectorRecord*>(selector)->id;
}

}  // namespace

namespace vorla::host {

Class metaclassOf(Class cls) { return object_getClass(reinterpret_cast<id>(cls)); }

Class superclassOf(Class cls) { return class_getSuperclass(cls); }

const char* nameOf(Class cls) { return class_getName(cls); }

bool isMetaclass(Class cls) { return class_isMetaClass(cls) != NO; }

const void* methodsVersion(Class cls) {
  // A class gains methods as a new list put in front of the ones it has, and never loses one, so
  // its newest list tells whether anything was added.
  objc_mutex_lock(__objc_runtime_mutex);
  const void* newest = reinterpret_cast<ClassRecord*>(cls)->methods;
  objc_mutex_unlock(__objc_runtime_mutex);
  return newest;
}

void findOwnMethods(Class cls, std::span<const SEL> selectors, std::span<Method> found) {
  std::fill(found.begin(), found.end(), nullptr);
  std::size_t missing = selectors.size();
  // Under the runtime's lock, as another thread may be adding a list to the class.
  objc_mutex_lock(__objc_runtime_mutex);
  for (MethodListRecord* list = reinterpret_cast<ClassRecord*>(cls)->methods;
       list != nullptr && missing > 0; list = list->next) {
    MethodRecord* methods = &list->first;
    for (int m = 0; m < list->count && missing > 0; ++m) {
      if (methods[m].name == nullptr) continue;
      const void* name = selectorId(methods[m].name);
      for (std::size_t s = 0; s < selectors.size(); ++s) {
        if (found[s] == nullptr && selectorId(selectors[s]) == name) {
          found[s] = reinterpret_cast<Method>(&methods[m]);
          --missing;
        }
      }
    }
  }
  objc_mutex_unlock(__objc_runtime_mutex);
}

IMP implementationOf(Method method) { return method_getImplementation(method); }

void addMethod(Class cls, SEL selector, IMP implementation, Method inherited) {
  class_addMethod(cls, selector, implementation, method_getTypeEncoding(inherited));
}

IMP setImplementationUnpublished(Method method, IMP replacement) {
  auto* record = reinterpret_cast<MethodRecord*>(method);
  // Under the runtime's lock, as the runtime reads methods when it builds a class's first table.
  objc_mutex_lock(__objc_runtime_mutex);
  IMP previous = record->implementation;
  record->implementation = replacement;
  objc_mutex_unlock(__objc_runtime_mutex);
  return previous;
}

// A class that has received no message yet has no table to rebuild, nor has any of its
// subclasses: the runtime gives a class its superclass's table first.
void rebuildDispatch(Class cls) { __objc_update_dispatch_table_for_class(cls); }

}  // namespace vorla::host
