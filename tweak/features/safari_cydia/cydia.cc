// Cydia's colours and background behaviour, and through the shared interface classes every
// app's default table colours and cell groups. Every replacement answers alone.
#include "tweak/core/replacements.h"
#include "tweak/features/features.h"

namespace vorla::features {

using namespace core;

const Constructor& cydiadark() {
  static const Constructor constructor{
      "cydiadark",
      "cydia",
      "Cydia's page and default table colours cleared, cells in rounded groups",
      nullptr,
      {
          hook<"CyteViewController", "pageColor", Answer<id(), nullptr>>(),
          hook<"UITableConstants_IOS",
               "defaultBackgroundColorForTableViewStyle:", Answer<id(host::NSInteger), nullptr>>(),
          hook<"UITableConstants_IOS", "defaultHeaderFooterBackgroundColorForView:inTableView:",
               Answer<id(id, id), nullptr>>(),
          hook<"UITableViewCell", "_usesRoundedGroups", Answer<BOOL(), YES>>(),
      }};
  return constructor;
}

const Constructor& cydia() {
  static const Constructor constructor{
      "cydia",
      "cydia",
      "Cydia and its app object are never told they went to the background",
      nullptr,
      {
          hook<"Cydia", "applicationDidEnterBackground:", Nothing<void(id)>>(),
          hook<"Cydia", "applicationWillResignActive:", Nothing<void(id)>>(),
          hook<"UIApplication", "_applicationDidEnterBackground", Nothing<void()>>(),
      }};
  return constructor;
}

}  // namespace vorla::features
