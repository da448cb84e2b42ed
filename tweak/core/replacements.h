// The shapes of a replacement that read nothing but their own constants, each a template over the
// method's signature (written as a function type of its arguments, without receiver and selector)
// and its constants. A shape's `replacement<Slot>` has the method's exact C signature.
#pragma once

#include "tweak/core/hook_table.h"
#include "tweak/core/real.h"
#include "tweak/host/services.h"

namespace vorla::core {

// Answers a constant without calling the replaced behaviour.
template <class Signature, auto Value>
struct Answer;
template <class R, class... A, auto Value>
struct Answer<R(A...), Value> {
  template <HookSlot&>
  static R replacement(id, SEL, A...) {
    return static_cast<R>(Value);
  }
};

// Does nothing: the host is never told.
template <class Signature>
struct Nothing;
template <class... A>
struct Nothing<void(A...)> {
  template <HookSlot&>
  static void replacement(id, SEL, A...) {}
};

// Answers a new colour with fixed components, built at every call.
template <Real Red, Real Green, Real Blue, Real Alpha>
struct FixedColour {
  template <HookSlot&>
  static id replacement(id, SEL) {
    return host::colourWithComponents(Red, Green, Blue, Alpha);
  }
};

// Calls the replaced behaviour once with a constant in place of the host's argument.
template <class Signature, auto Value>
struct ForcedArgument;
template <class R, class A, auto Value>
struct ForcedArgument<R(A), Value> {
  template <HookSlot& Slot>
  [[gnu::aligned(64)]] static R replacement(id self, SEL cmd, A) {
    return callPrevious<R>(Slot, self, cmd, static_cast<A>(Value));
  }
};

}  // namespace vorla::core
