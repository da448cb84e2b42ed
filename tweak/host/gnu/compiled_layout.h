// Classes, their method lists, methods and selectors as GCC's compiler lays them out in every
// module it emits (the GNU runtime's ABI), so that these layouts cannot change without breaking
// every compiled class. Only the fields read are named. Read by this layer, and by the test
// support that completes GCC's runtime for the device's layer (standin/objc_device_api/).
#pragma once

#include <objc/objc.h>

namespace vorla::gnu_layout {

struct SelectorRecord {
  const void* id;  // one per name: what the runtime compares selectors by
  const char* types;
};

struct MethodRecord {
  SEL name;
  const char* types;
  IMP implementation;
};

struct MethodListRecord {
  MethodListRecord* next;
  int count;
  MethodRecord first;  // and count - 1 more after it
};

struct ClassRecord {
  Class isa;
  Class superclass;
  const char* name;
  long version;
  unsigned long info;
  long instanceSize;
  void* ivars;
  MethodListRecord* methods;  // newest list first; a name found first is the one that runs
  void* dispatchTable;        // the runtime's uninstalled table until the first message
};

}  // namespace vorla::gnu_layout
