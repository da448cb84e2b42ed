// The common shapes of a replacement, each a template over the method's signature (written as
// a function type of its arguments, without receiver and selector) and its constants. A shape's
// `replacement<Slot>` has the method's exact C signature.
#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <tuple>

#include "tweak/core/hook_table.h"
#include "tweak/host/services.h"
#include "tweak/settings/settings_file.h"
#include "tweak/settings/settings_registry.h"

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
template <double Red, double Green, double Blue, double Alpha>
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
  static R replacement(id self, SEL cmd, A) {
    return callPrevious<R>(Slot, self, cmd, static_cast<A>(Value));
  }
};

// Calls the replaced behaviour once with the settings file's colour in place of the host's.
template <Text Key, Text Fallback>
struct ColourArgument {
  static constexpr const char* kFileKey = Key.value;
  static constexpr const char* kFallback = Fallback.value;

  template <HookSlot& Slot>
  static void replacement(id self, SEL cmd, id) {
    host::Held colour(settings::colourSetting(VORLA_STR(Key.value), VORLA_STR(Fallback.value)));
    callPrevious<void>(Slot, self, cmd, colour.get());
  }
};

// Answers the settings file's colour; the replaced behaviour is not called.
template <Text Key, Text Fallback, class Signature = id()>
struct ColourResult;
template <Text Key, Text Fallback, class... A>
struct ColourResult<Key, Fallback, id(A...)> {
  static constexpr const char* kFileKey = Key.value;
  static constexpr const char* kFallback = Fallback.value;

  template <HookSlot&>
  static id replacement(id, SEL, A...) {
    return settings::colourSetting(VORLA_STR(Key.value), VORLA_STR(Fallback.value));
  }
};

// Answers the settings file's integer; the replaced behaviour is not called.
template <Text Key>
struct NumberResult {
  static constexpr const char* kFileKey = Key.value;

  template <HookSlot&>
  static long long replacement(id, SEL) {
    return settings::numberSetting(VORLA_STR(Key.value));
  }
};

}  // namespace vorla::core

// Shapes decided at every call by registered settings. The switch and the value are read at every
// call, so whatever the preferences service has carried into them by then takes effect at the
// next call; values are handed on as they stand, with no check of kind or range.

namespace vorla::core {

// Holds each object argument for the length of a call: the replaced behaviour may drop the last
// other reference to it (a setter letting go of its old value) while it is still in use. Other
// arguments need nothing.
template <class A>
struct HeldArgument {
  explicit HeldArgument(A) {}
};
template <>
struct HeldArgument<id> : host::Held {
  using host::Held::Held;
};
template <class... A>
using HeldArguments = std::tuple<HeldArgument<A>...>;

// Answers `Value` alone while `Switch` is on; otherwise the replaced behaviour answers.
template <class Signature, BOOL& Switch, auto Value>
struct SwitchedAnswer;
template <class R, class... A, BOOL& Switch, auto Value>
struct SwitchedAnswer<R(A...), Switch, Value> {
  template <HookSlot& Slot>
  static R replacement(id self, SEL cmd, A... args) {
    if (settings::isOn(Switch)) return static_cast<R>(Value);
    HeldArguments<A...> held{args...};
    return callPrevious<R>(Slot, self, cmd, args...);
  }
};

// Calls the replaced behaviour once, with the constant `Value` in place of the host's argument
// while `Switch` is on, with the host's argument otherwise.
template <class Signature, BOOL& Switch, auto Value>
struct SwitchedArgument;
template <class R, class A, BOOL& Switch, auto Value>
struct SwitchedArgument<R(A), Switch, Value> {
  template <HookSlot& Slot>
  static R replacement(id self, SEL cmd, A received) {
    HeldArguments<A> held{received};
    return callPrevious<R>(Slot, self, cmd,
                           settings::isOn(Switch) ? static_cast<A>(Value) : received);
  }
};

// Calls the replaced behaviour once, with the registered `Setting` in place of the host's
// argument while `Switch` is on, with the host's argument otherwise.
template <class Signature, BOOL& Switch, auto& Setting>
struct SettingArgument;
template <class R, class A, BOOL& Switch, auto& Setting>
struct SettingArgument<R(A), Switch, Setting> {
  template <HookSlot& Slot>
  static R replacement(id self, SEL cmd, A received) {
    HeldArguments<A> held{received};
    return callPrevious<R>(
        Slot, self, cmd,
        settings::isOn(Switch) ? static_cast<A>(settings::valueOf(Setting)) : received);
  }
};

// One row of a table from a numeric code to a text.
struct CodedText {
  double code;
  const char* text;
};

// While `Switch` is on, answers the text of the first row whose code equals `Code` exactly, alone;
// otherwise, and when no row has that code, the replaced behaviour answers.
template <BOOL& Switch, double& Code, const auto& Table>
struct CodedTextAnswer {
  template <HookSlot& Slot>
  static id replacement(id self, SEL cmd) {
    if (settings::isOn(Switch)) {
      double code = settings::valueOf(Code);
      for (std::size_t row = 0; row < std::size(Table); ++row) {
        if (Table[row].code == code) return textOf(row);
      }
    }
    return callPrevious<id>(Slot, self, cmd);
  }

  // The texts are made once and live as long as the library, so the host may keep what it gets.
  static id textOf(std::size_t row) {
    static const auto texts = [] {
      std::array<id, std::size(Table)> made{};
      for (std::size_t i = 0; i < made.size(); ++i) {
        made[i] = host::makeConstantString(Table[i].text);
      }
      return made;
    }();
    return texts[row];
  }
};

}  // namespace vorla::core
