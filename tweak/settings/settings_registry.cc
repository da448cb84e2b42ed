#include "tweak/settings/settings_registry.h"

#include "tweak/host/services.h"

id preferences = nil;

BOOL sliderSwitch = NO;
double sliderKeya = 1.0;
BOOL sliderSwitchs = NO;
double sliderKeys = 1.0;
BOOL sliderSwitchww = NO;
double sliderKeyaww = 1.0;
double sliderKeysww = 1.0;
double sliderKeyrww = 1.0;
BOOL sliderScale = NO;
double sliderKeyScale = 1.0;
BOOL slidermsg = NO;
double sliderKeymsg = 90.0;
BOOL Enablesteng = NO;
id texstst = nil;
BOOL EnableNoSIM = NO;
id NoSIM = nil;
BOOL Enablemsg = NO;
id texstmsg = nil;
BOOL tweakEnabled = NO;
double features = 1.0;
BOOL tweakEnabled2 = NO;
double features2 = 1.0;
BOOL Enabledmodel = NO;
double model = 1.0;
BOOL Enableversion = NO;
double IPhoneversion = 1.0;
BOOL appearanceTint = NO;
BOOL EnableHello = NO;
id Hello = nil;
BOOL Slideshow = NO;
BOOL SkipDelete = NO;
BOOL a1 = NO;
BOOL a2 = NO;
BOOL DebugHUD = NO;

namespace vorla::settings {

using Kind = SettingDescription::Kind;

#define VORLA_BOOL(name) \
  { Kind::kBool, #name, &name, 0 }
#define VORLA_DOUBLE(name, fallback) \
  { Kind::kDouble, #name, &name, fallback }
#define VORLA_OBJECT(name) \
  { Kind::kObject, #name, &name, 0 }

const SettingDescription kSettings[34] = {
    VORLA_BOOL(sliderSwitch),
    VORLA_DOUBLE(sliderKeya, 1.0),
    VORLA_BOOL(sliderSwitchs),
    VORLA_DOUBLE(sliderKeys, 1.0),
    VORLA_BOOL(sliderSwitchww),
    VORLA_DOUBLE(sliderKeyaww, 1.0),
    VORLA_DOUBLE(sliderKeysww, 1.0),
    VORLA_DOUBLE(sliderKeyrww, 1.0),
    VORLA_BOOL(sliderScale),
    VORLA_DOUBLE(sliderKeyScale, 1.0),
    VORLA_BOOL(slidermsg),
    VORLA_DOUBLE(sliderKeymsg, 90.0),
    VORLA_BOOL(Enablesteng),
    VORLA_OBJECT(texstst),
    VORLA_BOOL(EnableNoSIM),
    VORLA_OBJECT(NoSIM),
    VORLA_BOOL(Enablemsg),
    VORLA_OBJECT(texstmsg),
    VORLA_BOOL(tweakEnabled),
    VORLA_DOUBLE(features, 1.0),
    VORLA_BOOL(tweakEnabled2),
    VORLA_DOUBLE(features2, 1.0),
    VORLA_BOOL(Enabledmodel),
    VORLA_DOUBLE(model, 1.0),
    VORLA_BOOL(Enableversion),
    VORLA_DOUBLE(IPhoneversion, 1.0),
    VORLA_BOOL(appearanceTint),
    VORLA_BOOL(EnableHello),
    VORLA_OBJECT(Hello),
    VORLA_BOOL(Slideshow),
    VORLA_BOOL(SkipDelete),
    VORLA_BOOL(a1),
    VORLA_BOOL(a2),
    VORLA_BOOL(DebugHUD),
};

#undef VORLA_BOOL
#undef VORLA_DOUBLE
#undef VORLA_OBJECT

void SettingsRegistry() {
  id previous = preferences;
  preferences = host::newSuitePreferences();
  host::release(previous);
  for (const SettingDescription& setting : kSettings) {
    id key = host::makeConstantString(setting.key);
    switch (setting.kind) {
      case Kind::kBool:
        host::registerBool(preferences, static_cast<BOOL*>(setting.variable), NO, key);
        break;
      case Kind::kDouble:
        host::registerDouble(preferences, static_cast<double*>(setting.variable),
                             setting.defaultNumber, key);
        break;
      case Kind::kObject:
        host::registerObject(preferences, static_cast<id*>(setting.variable), VORLA_STR(""), key);
        break;
    }
  }
}

}  // namespace vorla::settings
