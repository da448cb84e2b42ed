// The Settings app: the About page's version and model chosen by code from fixed tables, one
// user title for every list controller, and list controllers that lay out as on a wide screen.
#include "tweak/core/replacements.h"
#include "tweak/features/coded_settings.h"
#include "tweak/features/features.h"
#include "tweak/features/setting_shapes.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

using namespace core;

namespace {

// Codes are tested in this order; there is no 2111.
constexpr CodedText kVersionTexts[] = {
    {110, "7.1"},  {111, "8.1"},  {112, "9.1"},  {213, "10.2.4"}, {214, "11.1"},    {215, "11.5"},
    {216, "13.1"}, {217, "13.3"}, {218, "13.5"}, {219, "13.5.1"}, {2110, "14.4.1"}, {2112, "14.5"},
};

// Codes are tested in this order; there is no 1111. The text of 119 keeps the capital I it has
// always been shown with.
constexpr CodedText kModelTexts[] = {
    {110, "iPhone 6 Plus"},     {111, "iPhone 7"},       {112, "iPhone 7 Plus"},
    {113, "iPhone 8"},          {114, "iPhone 8 Plus"},  {115, "iPhone X"},
    {116, "iPhone XS"},         {117, "iPhone XS Max"},  {118, "iPhone 11 Pro"},
    {119, "IPhone 11 Pro Max"}, {1110, "iPhone 12 Pro"}, {1112, "iPhone 12 Pro Max"},
};

template <const auto& Table>
CodedSetting codesOf(const void* variable) {
  CodedSetting coded{variable, {}};
  for (const CodedText& row : Table) coded.choices.push_back({row.code, row.text});
  return coded;
}

}  // namespace

CodedSetting aboutVersionCodes() { return codesOf<kVersionTexts>(&IPhoneversion); }

CodedSetting aboutModelCodes() { return codesOf<kModelTexts>(&::model); }

Hook aboutVersion() {
  return hook<"PSGAboutDataSource", "_productVersionString",
              CodedTextAnswer<Enableversion, IPhoneversion, kVersionTexts>>();
}

Hook aboutModelName() {
  return hook<"PSGAboutDataSource", "_modelNameString",
              CodedTextAnswer<Enabledmodel, ::model, kModelTexts>>();
}

Hook listTitle() {
  return hook<"PSListController", "setTitle:", SettingArgument<void(id), Enablesteng, texstst>>();
}

const Constructor& editWatchq() {
  static const Constructor constructor{
      "editWatchq",
      "preferences",
      "Settings lists laid out as on a wide screen, cells not edge to edge",
      nullptr,
      {
          hook<"PSListController", "_isRegularWidth", Answer<BOOL(), YES>>(),
          hook<"PSListController", "setEdgeToEdgeCells:", Nothing<void(BOOL)>>(),
      }};
  return constructor;
}

}  // namespace vorla::features
