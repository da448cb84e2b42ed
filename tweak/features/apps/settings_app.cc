// The Settings app: the About page's version and model chosen by code from fixed tables, one
// user title for every list controller, and list controllers that lay out as on a wide screen.
#include "tweak/core/replacements.h"
#include "tweak/features/coded_settings.h"
#include "tweak/features/apps/about_texts.h"
#include "tweak/features/features.h"
#include "tweak/features/setting_shapes.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

using namespace core;

namespace {

template <const auto& Table>
CodedSetting codesOf(const void* variable) {
  CodedSetting coded{variable, {}};
  for (const CodedText& row : Table) coded.choices.push_back({row.code, row.text});
  return coded;
}

}  // namespace

CodedSetting aboutVersionCodes() { return codesOf<kVersionTexts>(&IPhoneversion); }

CodedSetting aboutModelCodes() { return codesOf<kModelTexts>(&::model); }

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
