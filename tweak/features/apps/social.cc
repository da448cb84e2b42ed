// Two social apps: viewer and follower counts read from the settings file at every call, and a
// nested action button switched on by a registered setting.
#include "tweak/core/replacements.h"
#include "tweak/features/features.h"
#include "tweak/features/setting_shapes.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

using namespace core;

const Constructor& editWatchr() {
  static const Constructor constructor{
      "editWatchr",
      "feed",
      "feed items show the viewer count watchr",
      nullptr,
      {
          hook<"IGFeedItem", "viewerCount", NumberResult<"watchr">>(),
      }};
  return constructor;
}

const Constructor& enableUser() {
  static const Constructor constructor{
      "EnableUser",
      "social",
      "profiles show the follower count User",
      nullptr,
      {
          hook<"TFNTwitterUser", "numberOfFollowers", NumberResult<"User">>(),
      }};
  return constructor;
}

}  // namespace vorla::features
