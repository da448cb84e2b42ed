// Every registered setting, in registration order: its kind, its key (which is also the name of
// its exported variable) and its default, then the app it belongs to and what it does, in a line,
// for tools that show the keys. Objects default to the empty string.
#pragma once

#define VORLA_SETTINGS(BOOLEAN, DOUBLE, OBJECT)                                                \
  BOOLEAN(sliderSwitch, "springboard", "home indicator height set to sliderKeya")              \
  DOUBLE(sliderKeya, 1.0, "springboard", "home indicator height")                              \
  BOOLEAN(sliderSwitchs, "springboard", "home indicator minimum width set to sliderKeys")      \
  DOUBLE(sliderKeys, 1.0, "springboard", "home indicator minimum width")                       \
  BOOLEAN(sliderSwitchww, "springboard",                                                       \
          "app switcher style 2, card shadow from the three values")                           \
  DOUBLE(sliderKeyaww, 1.0, "springboard", "app switcher card shadow opacity")                 \
  DOUBLE(sliderKeysww, 1.0, "springboard", "app switcher card shadow offset")                  \
  DOUBLE(sliderKeyrww, 1.0, "springboard", "app switcher card shadow radius")                  \
  BOOLEAN(sliderScale, "springboard", "grid switcher page scale set to sliderKeyScale")        \
  DOUBLE(sliderKeyScale, 1.0, "springboard", "grid switcher page scale")                       \
  BOOLEAN(slidermsg, "messages", "conversation row height set to sliderKeymsg")                \
  DOUBLE(sliderKeymsg, 90.0, "messages", "conversation row height")                            \
  BOOLEAN(Enablesteng, "preferences", "every Settings list titled texstst")                    \
  OBJECT(texstst, "preferences", "title of every Settings list")                               \
  BOOLEAN(EnableNoSIM, "springboard", "SIM status handed to the status bar replaced by NoSIM") \
  OBJECT(NoSIM, "springboard", "SIM status handed to the status bar")                          \
  BOOLEAN(Enablemsg, "messages", "conversation list titled texstmsg")                          \
  OBJECT(texstmsg, "messages", "conversation list title")                                      \
  BOOLEAN(tweakEnabled, "phone", "Phone tabs hidden as the code features says")                \
  DOUBLE(features, 1.0, "phone", "which Phone tabs are hidden: code 0 to 7")                   \
  BOOLEAN(tweakEnabled2, kEveryApp, "keyboard background in the colour of code features2")     \
  DOUBLE(features2, 1.0, kEveryApp, "keyboard colour code: 11 orange to 18 yellow")            \
  BOOLEAN(Enabledmodel, "preferences", "About page model chosen by the code model")            \
  DOUBLE(model, 1.0, "preferences", "model code: 110 iPhone 6 Plus to 1112 iPhone 12 Pro Max") \
  BOOLEAN(Enableversion, "preferences", "About page version chosen by the code IPhoneversion") \
  DOUBLE(IPhoneversion, 1.0, "preferences", "version code: 110 7.1 to 2112 14.5")              \
  BOOLEAN(appearanceTint, "social", "nested action button enabled")                            \
  BOOLEAN(EnableHello, "springboard", "lock-screen hint text replaced by Hello")               \
  OBJECT(Hello, "springboard", "lock-screen hint text")                                        \
  BOOLEAN(Slideshow, "photos", "browsing videos never muted")                                  \
  BOOLEAN(SkipDelete, "photos", "photos deleted without confirmation")                         \
  BOOLEAN(a1, "photos", "Search and For You tabs hidden")                                      \
  BOOLEAN(a2, "photos", "collection asset queries answered with fixed values")                 \
  BOOLEAN(DebugHUD, "photos", "photo-edit debug displays: performance and crop on, reframe off")
