// What the device's runtime offers that GCC's lacks or gives otherwise, for the build whose
// tweak/host/ uses the device's public API alone (docs/device.md lists each difference):
// - objc_msgSend (objc_msgSend_*.S), and the lookup it calls;
// - object_getClass as an exported function: GCC's header defines it inline only;
// - a method_setImplementation that gives the new implementation to the class that defines the
//   method and to its subclasses, and to nothing else.
// This library must come before GCC's in the process's search order, so that the runtime's own
// name reaches this method_setImplementation: it stops the process at load when it does not.
//
// GCC's runtime.h is not included: it defines object_getClass, which this file exports.
#include <dlfcn.h>
#include <objc/message.h>
#include <objc/thr.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tweak/host/gnu/compiled_layout.h"

typedef struct objc_method* Method;

extern "C" {
// GCC's runtime exports these without declaring them: its lock over classes and methods, the
// table of every class that has received no message yet, and its rebuild of the dispatch tables
// of a class and its subclasses.
extern objc_mutex_t __objc_runtime_mutex;
extern void* __objc_uninstalled_dtable;
void __objc_update_dispatch_table_for_class(Class cls);
int objc_getClassList(Class* classes, int capacity);

[[gnu::visibility("default")]] Class object_getClass(id object);
[[gnu::visibility("default")]] IMP method_setImplementation(Method method, IMP implementation);
[[gnu::visibility("hidden")]] IMP vorla_objc_lookup(id receiver, SEL selector);
}

namespace {

using vorla::gnu_layout::ClassRecord;
using vorla::gnu_layout::MethodListRecord;
using vorla::gnu_layout::MethodRecord;

// Whether `cls` has a dispatch table of its own yet: it has received a message.
bool hasTable(Class cls) {
  return reinterpret_cast<const ClassRecord*>(cls)->dispatchTable != __objc_uninstalled_dtable;
}

bool defines(Class cls, const MethodRecord* method) {
  for (const MethodListRecord* list = reinterpret_cast<const ClassRecord*>(cls)->methods;
       list != nullptr; list = list->next) {
    const MethodRecord* first = &list->first;
    if (method >= first && method < first + list->count) return true;
  }
  return false;
}

// The class or metaclass whose own methods hold `method`, when it has a dispatch table: one that
// has none yet has no table to rebuild, nor has any of its subclasses (the runtime gives a class
// its superclass's table first), and it builds its table from its methods at its first message.
// Called under the runtime's lock.
Class messagedDefinerOf(const MethodRecord* method) {
  std::vector<Class> classes(static_cast<std::size_t>(objc_getClassList(nullptr, 0)));
  classes.resize(static_cast<std::size_t>(
      objc_getClassList(classes.data(), static_cast<int>(classes.size()))));
  for (Class cls : classes) {
    if (hasTable(cls) && defines(cls, method)) return cls;
    Class metaclass = reinterpret_cast<const ClassRecord*>(cls)->isa;
    if (hasTable(metaclass) && defines(metaclass, method)) return metaclass;
  }
  return Nil;
}

[[gnu::constructor]] void checkSearchOrder() {
  if (dlsym(RTLD_DEFAULT, "method_setImplementation") !=
      reinterpret_cast<void*>(&method_setImplementation)) {
    std::fputs(
        "libvorla-objc-device-api.so is loaded after GCC's libobjc: link it before libobjc, so "
        "that the process uses its method_setImplementation\n",
        stderr);
    std::abort();
  }
}

}  // namespace

IMP vorla_objc_lookup(id receiver, SEL selector) { return objc_msg_lookup(receiver, selector); }

Class object_getClass(id object) { return object != nil ? object->class_pointer : Nil; }

// GCC's own writes the implementation into the dispatch table of every class whose methods hold
// the method: for a class that has received no message yet, that is the one table all such
// classes share, so an unrelated class with a method of that name runs the new implementation;
// and a subclass with a table of its own keeps the old one. Here the method is changed, then the
// tables of its class and of that class's subclasses are built again from their methods.
IMP method_setImplementation(Method method, IMP implementation) {
  if (method == nullptr || implementation == nullptr) return nullptr;
  auto* record = reinterpret_cast<MethodRecord*>(method);
  objc_mutex_lock(__objc_runtime_mutex);
  IMP previous = record->implementation;
  record->implementation = implementation;
  Class definer = messagedDefinerOf(record);
  if (definer != Nil) __objc_update_dispatch_table_for_class(definer);
  objc_mutex_unlock(__objc_runtime_mutex);
  return previous;
}
