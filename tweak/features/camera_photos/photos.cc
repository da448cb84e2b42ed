// The Photos app: each row follows one registered switch at every call and, with it off, is the
// host's own method. The forced values differ between like rows on purpose: reframe debugging is
// switched off while the two other debug displays are switched on, and the underscored asset
// query answers NO while the plain one answers YES.
#include "tweak/core/replacements.h"
#include "tweak/features/features.h"
#include "tweak/features/setting_shapes.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

using namespace core;

Hook videoPlayerSetMuted() {
  return hook<"PUBrowsingVideoPlayer", "setMuted:", SwitchedArgument<BOOL(BOOL), Slideshow, NO>>();
}

Hook videoPlayerIsMuted() {
  return hook<"PUBrowsingVideoPlayer", "isMuted", SwitchedAnswer<BOOL(), Slideshow, NO>>();
}

Hook viewModelAutoplayVideoMuted() {
  return classHook<"PUBrowsingViewModel", "autoplayVideoMuted",
                   SwitchedAnswer<BOOL(), Slideshow, NO>>();
}

Hook viewModelSetAutoplayVideoMuted() {
  return classHook<"PUBrowsingViewModel",
                   "setAutoplayVideoMuted:", SwitchedArgument<BOOL(BOOL), Slideshow, NO>>();
}

Hook viewModelIsAutoplayVideoMuted() {
  return hook<"PUBrowsingViewModel", "isAutoplayVideoMuted",
              SwitchedAnswer<BOOL(), Slideshow, NO>>();
}

Hook skipDeleteConfirmation() {
  return hook<"PUDeletePhotosActionController",
              "setShouldSkipDeleteConfirmation:", SwitchedArgument<BOOL(BOOL), SkipDelete, YES>>();
}

Hook searchTab() {
  return hook<"PUTabbedLibrarySettings",
              "setEnableSearchTab:", SwitchedArgument<BOOL(BOOL), a1, NO>>();
}

Hook forYouTab() {
  return hook<"PUTabbedLibrarySettings",
              "setEnableForYouTab:", SwitchedArgument<BOOL(BOOL), a1, NO>>();
}

Hook underscoredContainsAnyAssets() {
  return hook<"PXPhotoKitCollectionsDataSourceManager",
              "_containsAnyAssets:", SwitchedAnswer<BOOL(id), a2, NO>>();
}

Hook containsAnyAssets() {
  return hook<"PXPhotoKitCollectionsDataSourceManager",
              "containsAnyAssets:", SwitchedAnswer<BOOL(id), a2, YES>>();
}

Hook perfDebugHUD() {
  return hook<"PUPhotoEditProtoSettings",
              "setEnablePerfDebugHUD:", SwitchedArgument<BOOL(BOOL), DebugHUD, YES>>();
}

Hook reframeDebugHUD() {
  return hook<"PUPhotoEditProtoSettings",
              "setEnableReframeDebugHUD:", SwitchedArgument<BOOL(BOOL), DebugHUD, NO>>();
}

Hook perspectiveViewDebugCrop() {
  return hook<"PUPhotoEditProtoSettings",
              "setPerspectiveViewDebugCropEnabled:", SwitchedArgument<BOOL(BOOL), DebugHUD, YES>>();
}

}  // namespace vorla::features
