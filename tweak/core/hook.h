// Replacing one method of one host class, and reaching the behaviour it replaced.
#pragma once

#include <atomic>
#include <span>
#include <type_traits>
#include <vector>

#include "tweak/host/methods.h"
#include "tweak/host/types.h"

namespace vorla::core {

// The superclass of one hook target, saved by its constructor just before the target's first
// hook is installed. Null while the target class is absent.
struct SavedSuperclass {
  std::atomic<Class> value{Nil};
};

// One per hook. `previous` is the implementation the replacement took the place of, or empty
// when the target class only inherited the method (then the saved superclass resolves it at
// each call). Both are written at load only, before the replacement can run.
struct HookSlot {
  std::atomic<IMP> previous{nullptr};
  std::atomic<const SavedSuperclass*> superclass{nullptr};
};

// Puts `replacement` in place of `selector` on `targetClass` (a metaclass for a class method):
// - defined by the class itself: its implementation is swapped, and the one it had is written
//   to *previousOut before the swap, so that the slot is never empty while the replacement runs;
// - only inherited: the class gains its own method with the ancestor's type encoding, and
//   *previousOut stays empty;
// - already `replacement` (installed before): nothing changes, so that *previousOut never holds
//   the replacement itself;
// - found nowhere in the chain, or a null class: nothing changes.
// In place on every thread when it returns. Reports nothing. Runs at load only.
void installHook(Class targetClass, SEL selector, IMP replacement, std::atomic<IMP>* previousOut);

class MethodDirectory;

// One hook of a target class, as installHooksUnpublished takes it: the selector, its replacement
// and where the implementation it takes the place of goes.
struct HookRequest {
  SEL selector;
  IMP replacement;
  std::atomic<IMP>* previousOut;
};

// installHook for several hooks of one target class, each of its own selector, their methods
// found through `directory`. A swapped implementation is in place only once publishHooks has run
// for its class: returns that class, or Nil when there is nothing to publish.
Class installHooksUnpublished(Class targetClass, std::span<const HookRequest> requests,
                              MethodDirectory& directory);

// Puts every swap made by installHooksUnpublished on `touched` in place, on every thread: the
// runtime's dispatch tables of each class and its subclasses are rebuilt, once each.
void publishHooks(std::vector<Class> touched);

// Where a slot without a previous implementation leads: what the saved superclass resolves
// `selector` to at this moment (so an ancestor hooked later is still reached), or null for a slot
// with no saved superclass either.
inline IMP inheritedImplementation(const HookSlot& slot, SEL selector) {
  const SavedSuperclass* saved = slot.superclass.load(std::memory_order_acquire);
  Class superclass = saved ? saved->value.load(std::memory_order_acquire) : Nil;
  return superclass ? host::resolve(superclass, selector) : nullptr;
}

// callPrevious for a slot without a previous implementation. Out of line, so that the path of a
// method the class defines needs no stack frame: only hooks of inherited methods come here.
template <class R, class... A>
[[gnu::noinline]] R callInherited(const HookSlot& slot, id self, SEL selector, A... args) {
  IMP imp = inheritedImplementation(slot, selector);
  if (imp == nullptr) {
    if constexpr (std::is_void_v<R>) {
      return;
    } else {
      return R{};
    }
  }
  return reinterpret_cast<R (*)(id, SEL, A...)>(imp)(self, selector, args...);
}

// Calls the replaced behaviour with the receiver, the selector the replacement received and the
// arguments it chooses: the slot's previous implementation, else the inherited one, else nothing
// (R's zero value). Inline, so that a hook of a method its class defines costs the minimum: one
// acquire load and one call.
template <class R, class... A>
R callPrevious(const HookSlot& slot, id self, SEL selector, A... args) {
  IMP imp = slot.previous.load(std::memory_order_acquire);
  if (imp != nullptr) [[likely]] {
    return reinterpret_cast<R (*)(id, SEL, A...)>(imp)(self, selector, args...);
  }
  return callInherited<R>(slot, self, selector, args...);
}

}  // namespace vorla::core
