#include "tweak/settings/settings_registry.h"

#include "tweak/host/services.h"

id preferences = nil;

// Before registration booleans are off, doubles hold their defaults and objects are null.
#define VORLA_DEFINE_BOOLEAN(name, app, meaning) BOOL name = NO;
#define VORLA_DEFINE_DOUBLE(name, fallback, app, meaning) alignas(8) double name = fallback;
#define VORLA_DEFINE_OBJECT(name, app, meaning) id name = nil;
VORLA_SETTINGS(VORLA_DEFINE_BOOLEAN, VORLA_DEFINE_DOUBLE, VORLA_DEFINE_OBJECT)
#undef VORLA_DEFINE_BOOLEAN
#undef VORLA_DEFINE_DOUBLE
#undef VORLA_DEFINE_OBJECT

namespace vorla::settings {

using Kind = SettingDescription::Kind;

#define VORLA_BOOLEAN_ROW(name, app, meaning) {Kind::kBool, #name, &name, 0, app, meaning},
#define VORLA_DOUBLE_ROW(name, fallback, app, meaning) \
  {Kind::kDouble, #name, &name, fallback, app, meaning},
#define VORLA_OBJECT_ROW(name, app, meaning) {Kind::kObject, #name, &name, 0, app, meaning},
const SettingDescription kSettings[34] = {
    VORLA_SETTINGS(VORLA_BOOLEAN_ROW, VORLA_DOUBLE_ROW, VORLA_OBJECT_ROW)};
#undef VORLA_BOOLEAN_ROW
#undef VORLA_DOUBLE_ROW
#undef VORLA_OBJECT_ROW

void SettingsRegistry() {
  id previous = preferences;
  preferences = host::newSuitePreferences();
  host::release(previous);
  for (const SettingDescription& setting : kSettings) {
    id key = host::temporaryString(setting.key);
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
