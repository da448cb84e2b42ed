// The 34 typed settings read by the last constructor's replacements, bound to the suite by the
// preferences service and exported under their keys' own names.
#pragma once

#include <objc/runtime.h>

#include <atomic>

#define VORLA_EXPORT extern "C" __attribute__((visibility("default")))

VORLA_EXPORT id preferences;

VORLA_EXPORT BOOL sliderSwitch;
VORLA_EXPORT double sliderKeya;
VORLA_EXPORT BOOL sliderSwitchs;
VORLA_EXPORT double sliderKeys;
VORLA_EXPORT BOOL sliderSwitchww;
VORLA_EXPORT double sliderKeyaww;
VORLA_EXPORT double sliderKeysww;
VORLA_EXPORT double sliderKeyrww;
VORLA_EXPORT BOOL sliderScale;
VORLA_EXPORT double sliderKeyScale;
VORLA_EXPORT BOOL slidermsg;
VORLA_EXPORT double sliderKeymsg;
VORLA_EXPORT BOOL Enablesteng;
VORLA_EXPORT id texstst;
VORLA_EXPORT BOOL EnableNoSIM;
VORLA_EXPORT id NoSIM;
VORLA_EXPORT BOOL Enablemsg;
VORLA_EXPORT id texstmsg;
VORLA_EXPORT BOOL tweakEnabled;
VORLA_EXPORT double features;
VORLA_EXPORT BOOL tweakEnabled2;
VORLA_EXPORT double features2;
VORLA_EXPORT BOOL Enabledmodel;
VORLA_EXPORT double model;
VORLA_EXPORT BOOL Enableversion;
VORLA_EXPORT double IPhoneversion;
VORLA_EXPORT BOOL appearanceTint;
VORLA_EXPORT BOOL EnableHello;
VORLA_EXPORT id Hello;
VORLA_EXPORT BOOL Slideshow;
VORLA_EXPORT BOOL SkipDelete;
VORLA_EXPORT BOOL a1;
VORLA_EXPORT BOOL a2;
VORLA_EXPORT BOOL DebugHUD;

#undef VORLA_EXPORT

namespace vorla::settings {

// The registry, in registration order: one row per setting.
struct SettingDescription {
  enum class Kind { kBool, kDouble, kObject } kind;
  const char* key;
  void* variable;
  double defaultNumber;  // kBool: 0 for NO; kDouble: the default; kObject: unused ("")
};

extern const SettingDescription kSettings[34];

// Creates the shared `preferences` object and binds every setting, in table order.
void SettingsRegistry();

// The preferences service writes these variables from its own thread; every read is atomic.
inline bool isOn(BOOL& setting) {
  return std::atomic_ref(setting).load(std::memory_order_relaxed) != NO;
}
inline double valueOf(double& setting) {
  return std::atomic_ref(setting).load(std::memory_order_relaxed);
}
inline id valueOf(id& setting) { return std::atomic_ref(setting).load(std::memory_order_relaxed); }

}  // namespace vorla::settings
