// Every registered setting, in registration order: its kind, its key (which is also the name of
// its exported variable) and its default. Objects default to the empty string.
#pragma once

#define VORLA_SETTINGS(BOOLEAN, DOUBLE, OBJECT) \
  BOOLEAN(sliderSwitch)                         \
  DOUBLE(sliderKeya, 1.0)                       \
  BOOLEAN(sliderSwitchs)                        \
  DOUBLE(sliderKeys, 1.0)                       \
  BOOLEAN(sliderSwitchww)                       \
  DOUBLE(sliderKeyaww, 1.0)                     \
  DOUBLE(sliderKeysww, 1.0)                     \
  DOUBLE(sliderKeyrww, 1.0)                     \
  BOOLEAN(sliderScale)                          \
  DOUBLE(sliderKeyScale, 1.0)                   \
  BOOLEAN(slidermsg)                            \
  DOUBLE(sliderKeymsg, 90.0)                    \
  BOOLEAN(Enablesteng)                          \
  OBJECT(texstst)                               \
  BOOLEAN(EnableNoSIM)                          \
  OBJECT(NoSIM)                                 \
  BOOLEAN(Enablemsg)                            \
  OBJECT(texstmsg)                              \
  BOOLEAN(tweakEnabled)                         \
  DOUBLE(features, 1.0)                         \
  BOOLEAN(tweakEnabled2)                        \
  DOUBLE(features2, 1.0)                        \
  BOOLEAN(Enabledmodel)                         \
  DOUBLE(model, 1.0)                            \
  BOOLEAN(Enableversion)                        \
  DOUBLE(IPhoneversion, 1.0)                    \
  BOOLEAN(appearanceTint)                       \
  BOOLEAN(EnableHello)                          \
  OBJECT(Hello)                                 \
  BOOLEAN(Slideshow)                            \
  BOOLEAN(SkipDelete)                           \
  BOOLEAN(a1)                                   \
  BOOLEAN(a2)                                   \
  BOOLEAN(DebugHUD)
