// Calls one method through the runtime as a host would: the receiver, the arguments and the call
// are chosen from the method's own type encoding, and what reached the host's model and what the
// caller got are read back and rendered as text.
#pragma once

#include <objc/runtime.h>

#include <string>
#include <vector>

#include "tools/sim/protocol.h"

namespace vorla::sim {

// One representative call of `selector` on a new instance of `className` (on the class itself
// for a class method). The arguments, by type: YES, 1, 0.5, a pointer to a nil explanation, and
// for an object what its part of the selector names: a host colour (#3366cc) for a colour, a
// text for a title, text or status, a view for a view, else a plain object. `passed` receives
// them rendered. A method the class does not answer, or of a type it cannot call, is not called,
// and the note says why.
Measurement drive(const PlannedHook& hook, std::vector<std::string>& passed);

}  // namespace vorla::sim
