// Message sending for the stand-in, the host models, the tools and the tests. (The library
// has its own in tweak/host/, since it depends on nothing else of ours.)
#pragma once

#include <objc/message.h>
#include <objc/runtime.h>

#include <type_traits>

namespace vorla::standin {

// Sends `selector` to `receiver` with the exact C signature R(id, SEL, A...). A nil receiver
// gives R's zero value without calling anything.
template <class R = void, class... A>
R send(id receiver, const char* selector, A... args) {
  if (receiver == nil) {
    if constexpr (std::is_void_v<R>) {
      return;
    } else {
      return R{};
    }
  }
  SEL sel = sel_registerName(selector);
  IMP imp = objc_msg_lookup(receiver, sel);
  return reinterpret_cast<R (*)(id, SEL, A...)>(imp)(receiver, sel, args...);
}

template <class R = void, class... A>
R sendToClass(const char* className, const char* selector, A... args) {
  return send<R>(reinterpret_cast<id>(objc_getClass(className)), selector, args...);
}

}  // namespace vorla::standin
