// Replacing one method of one host class, and reaching the behaviour it replaced.
#pragma once

#include <atomic>
#include <type_traits>

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
// Reports nothing. Runs at load only.
void installHook(Class targetClass, SEL selector, IMP replacement, std::atomic<IMP>* previousOut);

// The implementation a replacement calls for the behaviour it replaced: the previous one when
// the slot holds it, otherwise what the saved superclass resolves `selector` to at this moment
// (so an ancestor hooked later is still reached). Null only for a slot with neither.
IMP previousImplementation(const HookSlot& slot, SEL selector);

// Calls the replaced behaviour with the receiver, the selector the replacement received and the
// arguments it chooses.
template <class R, class... A>
R callPrevious(const HookSlot& slot, id self, SEL selector, A... args) {
  IMP imp = previousImplementation(slot, selector);
  if (imp == nullptr) {
    if constexpr (std::is_void_v<R>) {
      return;
    } else {
      return R{};
    }
  }
  return reinterpret_cast<R (*)(id, SEL, A...)>(imp)(self, selector, args...);
}

}  // namespace vorla::core
