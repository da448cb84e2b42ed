// The Photos app: each row follows one registered switch at every call and, with it off, is the
// host's own method. The forced values differ between like rows on purpose: reframe debugging is
// switched off while the two other debug displays are switched on, and the underscored asset
// query answers NO while the plain one answers YES.
#include "tweak/core/replacements.h"
#include "tweak/features/features.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

using namespace core;

Hook videoPlayerSetMuted() {
  return hook<"PUBrowsingVideoPlayer", "setMuted:", SwitchedArgument<Slideshow, BOOL(BOOL), NO>>();
}

Hook videoPlayerIsMuted() {
  return hook<"PUBrowsingVideoPlayer", "isMuted", SwitchedAnswer<Slideshow, BOOL(), NO>>();
}

Hook viewModelAutoplayVideoMuted() {
  return classHook<"PUBrowsingViewModel", "autoplayVideoMuted",
                   SwitchedAnswer<Slideshow, BOOL(), NO>>();
}

Hook viewModelSetAutoplayVideoMuted() {
  return classHook<"PUBrowsingViewModel",
                   "setAutoplayVideoMuted:", SwitchedArgument<Slideshow, BOOL(BOOL), NO>>();
}

Hook viewModelIsAutoplayVideoMuted() {
  return hook<"PUBrowsingViewModel", "isAutoplayVideoMuted",
              SwitchedAnswer<Slideshow, BOOL(), NO>>();
}

Hook skipDeleteConfirmation() {
  return hook<"PUDeletePhotosActionController",
              "setShouldSkipDeleteConfirmation:", SwitchedArgument<SkipDelete, BOOL(BOOL), YES>>();
}

Hook searchTab() {
  return hook<"PUTabbedLibrarySettings",
              "setEnableSearchTab:", SwitchedArgument<a1, BOOL(BOOL), NO>>();
}

Hook forYouTab() {
  return hook<"PUTabbedLibrarySettings",
              "setEnableForYouTab:", SwitchedArgument<a1, BOOL(BOOL), NO>>();
}

Hook underscoredContainsAnyAssets() {
  return hook<"PXPhotoKitCollectionsDataSourceManager",
              "_containsAnyAssets:", SwitchedAnswer<a2, BOOL(id), NO>>();
}

Hook containsAnyAssets() {
  return hook<"PXPhotoKitCollectionsDataSourceManager",
              "containsAnyAssets:", SwitchedAnswer<a2, BOOL(id), YES>>();
}

Hook perfDebugHUD() {
  return hook<"PUPhotoEditProtoSettings",
              "setEnablePerfDebugHUD:", SwitchedArgument<DebugHUD, BOOL(BOOL), YES>>();
}

Hook reframeDebugHUD() {
  return hook<"PUPhotoEditProtoSettings",
              "setEnableReframeDebugHUD:", SwitchedArgument<DebugHUD, BOOL(BOOL), NO>>();
}

Hook perspectiveViewDebugCrop() {
  return hook<"PUPhotoEditProtoSettings",
              "setPerspectiveViewDebugCropEnabled:", SwitchedArgument<DebugHUD, BOOL(BOOL), YES>>();
}

}  // namespace vorla::features
