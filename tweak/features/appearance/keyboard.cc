// The system keyboard in every app: the prediction bar always shown, the dark appearance, and a
// background colour chosen from the registered settings at every layout pass.
#include "tweak/core/replacements.h"
#include "tweak/features/coded_settings.h"
#include "tweak/features/features.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

using namespace core;

// The platform's value for the dark keyboard appearance.
constexpr host::NSInteger kDarkKeyboardAppearance = 1;

const Constructor& ribbon() {
  static const Constructor constructor{
      "ribbon",
      kEveryApp,
      "the keyboard's prediction bar is always shown",
      nullptr,
      {
          hook<"UIPredictionViewController",
               "isVisibleForInputDelegate:inputViews:", Answer<BOOL(id, id), YES>>(),
      }};
  return constructor;
}

const Constructor& keyboard1() {
  static const Constructor constructor{
      "keyboard1",
      kEveryApp,
      "the dark keyboard appearance",
      nullptr,
      {
          hook<"UITextInputTraits", "keyboardAppearance",
               Answer<host::NSInteger(), kDarkKeyboardAppearance>>(),
      }};
  return constructor;
}

namespace {

struct KeyboardColour {
  double code;
  host::NamedColour colour;
};

// Codes compare by exact equality: 11.5 or NaN choose no colour.
constexpr KeyboardColour kKeyboardColours[] = {
    {11.0, host::NamedColour::kOrange}, {12.0, host::NamedColour::kRed},
    {13.0, host::NamedColour::kWhite},  {14.0, host::NamedColour::kGray},
    {15.0, host::NamedColour::kBlack},  {16.0, host::NamedColour::kCyan},
    {17.0, host::NamedColour::kBlue},   {18.0, host::NamedColour::kYellow},
};

// Sets the keyboard's background to the named colour of `features2` while `tweakEnabled2` is
// on, then lays the keyboard out as the host would.
struct KeyboardBackground {
  template <HookSlot& Slot>
  static void replacement(id self, SEL cmd) {
    for (const KeyboardColour& row : kKeyboardColours) {
      // Read afresh for each code: the preferences service may change them meanwhile.
      if (settings::isOn(tweakEnabled2) && settings::valueOf(features2) == row.code) {
        host::Held colour(host::namedColour(row.colour));
        // Sent as a message, so that whatever replaces the keyboard's setter applies too.
        host::send(self, VORLA_SEL("setBackgroundColor:"), colour.get());
      }
    }
    // After every colour, yellow included: without it the keyboard misses its layout pass.
    callPrevious<void>(Slot, self, cmd);
  }
};

const char* colourWord(host::NamedColour colour) {
  switch (colour) {
    case host::NamedColour::kOrange:
      return "orange";
    case host::NamedColour::kRed:
      return "red";
    case host::NamedColour::kWhite:
      return "white";
    case host::NamedColour::kGray:
      return "gray";
    case host::NamedColour::kBlack:
      return "black";
    case host::NamedColour::kCyan:
      return "cyan";
    case host::NamedColour::kBlue:
      return "blue";
    case host::NamedColour::kYellow:
      return "yellow";
  }
  return "";
}

}  // namespace

CodedSetting keyboardColourCodes() {
  CodedSetting coded{&features2, {}};
  for (const KeyboardColour& row : kKeyboardColours) {
    coded.choices.push_back({row.code, colourWord(row.colour)});
  }
  return coded;
}

Hook keyboardBackground() { return hook<"UIKeyboardImpl", "layoutSubviews", KeyboardBackground>(); }

}  // namespace vorla::features
