// The Photos app's classes. Every query answers the opposite of what the library would force,
// so that a test sees which one it got.
#include "hosts/host_apps.h"
#include "hosts/model.h"

namespace vorla::hosts {

void registerPhotosModels() {
  Model("PUBrowsingVideoPlayer", "NSObject")
      .method<BOOL(BOOL)>("setMuted:", 1LL)
      .method<BOOL()>("isMuted", 1LL)
      .build();
  Model("PUBrowsingViewModel", "NSObject")
      .classMethod<BOOL()>("autoplayVideoMuted", 1LL)
      .classMethod<BOOL(BOOL)>("setAutoplayVideoMuted:", 1LL)
      .method<BOOL()>("isAutoplayVideoMuted", 1LL)
      .build();
  Model("PUDeletePhotosActionController", "NSObject")
      .method<BOOL(BOOL)>("setShouldSkipDeleteConfirmation:", 1LL)
      .build();
  Model("PUTabbedLibrarySettings", "NSObject")
      .method<BOOL(BOOL)>("setEnableSearchTab:", 1LL)
      .method<BOOL(BOOL)>("setEnableForYouTab:", 1LL)
      .build();
  Model("PXPhotoKitCollectionsDataSourceManager", "NSObject")
      .method<BOOL(id)>("_containsAnyAssets:", 1LL)
      .method<BOOL(id)>("containsAnyAssets:", 0LL)
      .build();
  Model("PUPhotoEditProtoSettings", "NSObject")
      .method<BOOL(BOOL)>("setEnablePerfDebugHUD:", 1LL)
      .method<BOOL(BOOL)>("setEnableReframeDebugHUD:", 1LL)
      .method<BOOL(BOOL)>("setPerspectiveViewDebugCropEnabled:", 1LL)
      .build();
}

}  // namespace vorla::hosts
