// The Camera app's classes, on a device that lacks every capability asked about.
#include "hosts/host_apps.h"
#include "hosts/model.h"

namespace vorla::hosts {

void registerCameraModels() {
  Model("CAMZoomControl", "UIView").method<BOOL(double)>("_setMaximumZoomFactor:", 1LL).build();
  Model("CAMZoomDial", "UIView").method<BOOL(double)>("setMaximumZoomFactor:", 1LL).build();
  Model("CAMCaptureCapabilities", "NSObject")
      .method<BOOL()>("isNeuralEngineSupported", 0LL)
      .method<BOOL()>("isCTMSupported", 0LL)
      .method<BOOL()>("deviceSupportsCTM", 0LL)
      .method<BOOL()>("isSmartHDRSupported", 0LL)
      .method<BOOL()>("isLowLightSupported", 0LL)
      .method<BOOL()>("isAutoLowLightVideoSupported", 0LL)
      .method<BOOL()>("isPipelinedStillImageProcessingSupported", 0LL)
      .method<BOOL()>("featureDevelopmentEmulateSuperWide", 0LL)
      .build();
}

}  // namespace vorla::hosts
