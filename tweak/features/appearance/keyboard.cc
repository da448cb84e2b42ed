// The system keyboard in every app: the prediction bar always shown, the dark appearance, and a
// background colour chosen from the registered settings at every layout pass.
#include "tweak/core/replacements.h"
#include "tweak/features/coded_settings.h"
#include "tweak/features/appearance/keyboard_background.h"
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

}  // namespace vorla::features
