// Hook tables: each load-time constructor is a list of rows that reads like the host's class,
// selector and method kind, with the replacement's behaviour. Each (class, selector, kind) has
// one slot, which is also the identity its replacement reaches the replaced behaviour through: a
// class method and an instance method of one name are two methods, with two slots.
#pragma once

#include <cstddef>
#include <vector>

#include "tweak/core/hook.h"
#include "tweak/host/types.h"

namespace vorla::core {

// A string literal usable as a template argument.
template <std::size_t N>
struct Text {
  constexpr Text(const char (&text)[N]) {  // NOLINT(google-explicit-constructor)
    for (std::size_t i = 0; i < N; ++i) value[i] = text[i];
  }
  char value[N];
};

enum class MethodKind { kInstance, kClass };

// The settings-file key a replacement reads at every call: a colour key with the fallback text it
// uses, or a count key (no fallback). Both null for a replacement that reads no such key. Kept
// in the table so that tools can list the keys without a copy of their own.
struct FileKey {
  const char* key = nullptr;
  const char* fallback = nullptr;
};

struct Hook {
  const char* className;
  const char* selector;
  MethodKind kind;
  IMP replacement;
  HookSlot* slot;
  FileKey fileKey;
};

// One load-time constructor: its enable key (null for the last one, which has no gate), the app
// its feature belongs to and what it does, in a line, for tools that show the keys; what it does
// before installing (the settings registration of the last one), and its hooks in order. Its
// number is its position in the load sequence.
struct Constructor {
  const char* enableKey;
  const char* app;
  const char* meaning;
  void (*prepare)();
  std::vector<Hook> hooks;
};

template <Text ClassName, Text Selector, MethodKind Kind>
inline constinit HookSlot slotFor{};

// A shape that reads the settings file names its key as `kFileKey` and, for a colour, its
// fallback as `kFallback`.
template <class Behaviour>
constexpr FileKey fileKeyOf() {
  if constexpr (requires { Behaviour::kFallback; }) {
    return {Behaviour::kFileKey, Behaviour::kFallback};
  } else if constexpr (requires { Behaviour::kFileKey; }) {
    return {Behaviour::kFileKey, nullptr};
  } else {
    return {};
  }
}

// A row of a hook table. Behaviour::replacement<Slot> is the replacement function; it has the
// method's exact signature and reaches the replaced behaviour through Slot.
template <Text ClassName, Text Selector, class Behaviour, MethodKind Kind = MethodKind::kInstance>
Hook hook() {
  HookSlot& slot = slotFor<ClassName, Selector, Kind>;
  return {
      ClassName.value,
      Selector.value,
      Kind,
      reinterpret_cast<IMP>(&Behaviour::template replacement<slotFor<ClassName, Selector, Kind>>),
      &slot,
      fileKeyOf<Behaviour>()};
}

template <Text ClassName, Text Selector, class Behaviour>
Hook classHook() {
  return hook<ClassName, Selector, Behaviour, MethodKind::kClass>();
}

}  // namespace vorla::core
