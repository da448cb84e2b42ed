// GCC's runtime, through its own headers.
#pragma once

#include <objc/message.h>
#include <objc/runtime.h>

namespace vorla::host {

// Sends `selector` to a receiver that is not nil with the exact C signature R(id, SEL, A...).
// This runtime has no objc_msgSend: a message is a lookup, then a call of what it found.
template <class R, class... A>
inline R sendNonNil(id receiver, SEL selector, A... args) {
  IMP imp = objc_msg_lookup(receiver, selector);
  return reinterpret_cast<R (*)(id, SEL, A...)>(imp)(receiver, selector, args...);
}

}  // namespace vorla::host
