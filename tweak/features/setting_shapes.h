// The shapes of a replacement that read the settings: the settings file's colours and counts at
// every call, and registered settings. Like the pure shapes (core/replacements.h), each is a
// template over the method's signature and its constants, and its `replacement<Slot>` has the
// method's exact C signature.
#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <tuple>

#include "tweak/core/hook_table.h"
#include "tweak/host/services.h"
#include "tweak/settings/settings_file.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

// Calls the replaced behaviour once with the settings file's colour in place of the host's.
template <core::Text Key, core::Text Fallback>
struct ColourArgument {
  static constexpr const char* kFileKey = Key.value;
  static constexpr const char* kFallback = Fallback.value;

  template <core::HookSlot& Slot>
  static void replacement(id self, SEL cmd, id) {
    host::Held colour(settings::colourSetting(VORLA_STR(Key.value), VORLA_STR(Fallback.value)));
    core::callPrevious<void>(Slot, self, cmd, colour.get());
  }
};

// Answers the settings file's colour; the replaced behaviour is not called.
template <core::Text Key, core::Text Fallback, class Signature = id()>
struct ColourResult;
template <core::Text Key, core::Text Fallback, class... A>
struct ColourResult<Key, Fallback, id(A...)> {
  static constexpr const char* kFileKey = Key.value;
  static constexpr const char* kFallback = Fallback.value;

  template <core::HookSlot&>
  static id replacement(id, SEL, A...) {
    return settings::colourSetting(VORLA_STR(Key.value), VORLA_STR(Fallback.value));
  }
};

// Answers the settings file's integer; the replaced behaviour is not called.
template <core::Text Key>
struct NumberResult {
  static constexpr const char* kFileKey = Key.value;

  template <core::HookSlot&>
  static long long replacement(id, SEL) {
    return settings::numberSetting(VORLA_STR(Key.value));
  }
};

// Shapes decided at every call by registered settings. The switch and the value are read at every
// call, so whatever the preferences service has carried into them by then takes effect at the
// next call; values are handed on as they stand, with no check of kind or range.

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
  template <core::HookSlot& Slot>
  [[gnu::aligned(64)]] static R replacement(id self, SEL cmd, A... args) {
    if (settings::isOn(Switch)) return static_cast<R>(Value);
    [[maybe_unused]] HeldArguments<A...> held{args...};
    return core::callPrevious<R>(Slot, self, cmd, args...);
  }
};

// Calls the replaced behaviour once, with the constant `Value` in place of the host's argument
// while `Switch` is on, with the host's argument otherwise.
template <class Signature, BOOL& Switch, auto Value>
struct SwitchedArgument;
template <class R, class A, BOOL& Switch, auto Value>
struct SwitchedArgument<R(A), Switch, Value> {
  template <core::HookSlot& Slot>
  [[gnu::aligned(64)]] static R replacement(id self, SEL cmd, A received) {
    HeldArguments<A> held{received};
    return core::callPrevious<R>(Slot, self, cmd,
                                 settings::isOn(Switch) ? static_cast<A>(Value) : received);
  }
};

// Calls the replaced behaviour once, with the registered `Setting` in place of the host's
// argument while `Switch` is on, with the host's argument otherwise.
template <class Signature, BOOL& Switch, auto& Setting>
struct SettingArgument;
template <class R, class A, BOOL& Switch, auto& Setting>
struct SettingArgument<R(A), Switch, Setting> {
  template <core::HookSlot& Slot>
  [[gnu::aligned(64)]] static R replacement(id self, SEL cmd, A received) {
    HeldArguments<A> held{received};
    // Both read before the choice, so that the choice is a select and the call one tail call.
    bool on = settings::isOn(Switch);
    A setting = static_cast<A>(settings::valueOf(Setting));
    return core::callPrevious<R>(Slot, self, cmd, on ? setting : received);
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
  template <core::HookSlot& Slot>
  static id replacement(id self, SEL cmd) {
    if (settings::isOn(Switch)) {
      double code = settings::valueOf(Code);
      for (std::size_t row = 0; row < std::size(Table); ++row) {
        if (Table[row].code == code) return textOf(row);
      }
    }
    return core::callPrevious<id>(Slot, self, cmd);
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

}  // namespace vorla::features
