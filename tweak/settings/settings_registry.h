// The 34 typed settings read by the last constructor's replacements, bound to the suite by the
// preferences service and exported under their keys' own names.
#pragma once

#include "tweak/host/types.h"
#include "tweak/settings/settings_list.h"

#define VORLA_EXPORT extern "C" __attribute__((visibility("default")))

VORLA_EXPORT id preferences;

#define VORLA_DECLARE_BOOLEAN(name, app, meaning) VORLA_EXPORT BOOL name;
// A double is 8-aligned on every device, as a 64-bit atomic load needs, though a 32-bit ABI would
// align it to 4 by itself.
#define VORLA_DECLARE_DOUBLE(name, fallback, app, meaning) \
  VORLA_EXPORT __attribute__((aligned(8))) double name;
#define VORLA_DECLARE_OBJECT(name, app, meaning) VORLA_EXPORT id name;
VORLA_SETTINGS(VORLA_DECLARE_BOOLEAN, VORLA_DECLARE_DOUBLE, VORLA_DECLARE_OBJECT)
#undef VORLA_DECLARE_BOOLEAN
#undef VORLA_DECLARE_DOUBLE
#undef VORLA_DECLARE_OBJECT

#undef VORLA_EXPORT

namespace vorla::settings {

// The app a setting or a feature belongs to, named as the simulated hosts name it; those of the
// interface framework act in every app.
inline constexpr const char* kEveryApp = "every";

// The registry, in registration order: one row per setting.
struct SettingDescription {
  enum class Kind { kBool, kDouble, kObject } kind;
  const char* key;
  void* variable;
  double defaultNumber;  // kBool: 0 for NO; kDouble: the default; kObject: unused ("")
  const char* app;
  const char* meaning;
};

extern const SettingDescription kSettings[34];

// Creates the shared `preferences` object and binds every setting, in table order.
void SettingsRegistry();

// The preferences service writes these variables from its own thread; every read is atomic. A
// text is read with acquire ordering, pairing with the service's release store, so that the
// object's contents are visible to whoever reads the text through the pointer. The compilers'
// atomic builtin is what std::atomic_ref is made of, and it is there in every standard library
// the library is built with.
// Each variable is aligned to its size; the load says so, so that a 32-bit ABI's 4-aligned double
// is still loaded in one instruction.
template <typename T>
inline T loadAtomically(T& variable, int order) {
  using Aligned [[gnu::aligned(sizeof(T))]] = T;
  T value;
  __atomic_load(reinterpret_cast<Aligned*>(&variable), &value, order);
  return value;
}
inline bool isOn(BOOL& setting) { return loadAtomically(setting, __ATOMIC_RELAXED) != NO; }
inline double valueOf(double& setting) { return loadAtomically(setting, __ATOMIC_RELAXED); }
inline id valueOf(id& setting) { return loadAtomically(setting, __ATOMIC_ACQUIRE); }

}  // namespace vorla::settings
