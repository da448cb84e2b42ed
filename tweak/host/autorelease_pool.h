#pragma once

#include "tweak/host/runtime.h"

namespace vorla::host {

// An NSAutoreleasePool for a scope: objects autoreleased inside are released when it ends.
class AutoreleasePool {
 public:
  AutoreleasePool()
      : pool_(send<id>(send<id>(objc_getClass("NSAutoreleasePool"), VORLA_SEL("alloc")),
                       VORLA_SEL("init"))) {}
  ~AutoreleasePool() { send(pool_, VORLA_SEL("drain")); }
  AutoreleasePool(const AutoreleasePool&) = delete;
  AutoreleasePool& operator=(const AutoreleasePool&) = delete;

 private:
  id pool_;
};

}  // namespace vorla::host
