// The Phone app and the contacts framework: keypad, contact header and bottom-bar colours from
// the settings file, a call history that never creates its store, contact snapshots that never
// get a filter or a data source, and Phone tabs hidden by a registered setting.
#include "tweak/core/replacements.h"
#include "tweak/features/coded_settings.h"
#include "tweak/features/features.h"
#include "tweak/features/phone_messages/phone_tabs.h"
#include "tweak/features/setting_shapes.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

using namespace core;

const Constructor& numberclor() {
  static const Constructor constructor{"Numberclor",
                                       "phone",
                                       "Phone keypad buttons in colour Numberclor4",
                                       nullptr,
                                       {
                                           hook<"PHHandsetDialerNumberPadButton", "setColor:",
                                                ColourArgument<"Numberclor4", "#ff0000">>(),
                                       }};
  return constructor;
}

const Constructor& numberPadButton() {
  static const Constructor constructor{
      "NumberPadButton",
      "phone",
      "contact header background in colour NumberPadButton3",
      nullptr,
      {
          hook<"CNContactStyle",
               "setContactHeaderBackgroundColor:", ColourArgument<"NumberPadButton3", "#ff0000">>(),
      }};
  return constructor;
}

const Constructor& call() {
  static const Constructor constructor{
      "call",
      "phone",
      "Phone bottom-bar buttons in colour call2",
      nullptr,
      {
          hook<"PHBottomBarButton", "setBackgroundColor:", ColourArgument<"call2", "#ff0000">>(),
      }};
  return constructor;
}

const Constructor& hedncall() {
  static const Constructor constructor{
      "hedncall",
      "phone",
      "the call history never creates its store",
      nullptr,
      {
          hook<"CallDBManager", "createDataStore", Nothing<void()>>(),
      }};
  return constructor;
}

const Constructor& hidenames() {
  static const Constructor constructor{
      "Hidenames",
      "phone",
      "contact snapshots get no filter and no data source",
      nullptr,
      {
          hook<"CNContactStoreSnapshot", "setFilter:", Nothing<void(id)>>(),
          hook<"CNContactStoreSnapshot", "setDataSource:", Nothing<void(id)>>(),
      }};
  return constructor;
}

CodedSetting phoneTabCodes() {
  CodedSetting coded{&::features, {}};
  for (const TabRow& row : kTabRows) {
    const std::pair<Cell, const char*> cells[] = {{row.tabs.favorites, "Favorites"},
                                                  {row.tabs.recents, "Recents"},
                                                  {row.tabs.contacts, "Contacts"},
                                                  {row.tabs.keypad, "Keypad"},
                                                  {row.tabs.voicemail, "Voicemail"}};
    std::string hidden;
    for (const auto& [cell, name] : cells) {
      if (cell == kHidden) hidden += (hidden.empty() ? "" : ", ") + std::string(name);
    }
    coded.choices.push_back({row.features, hidden + " hidden"});
  }
  return coded;
}

}  // namespace vorla::features
