// The Camera app: a maximum zoom factor of 20 whatever the host sets, and capabilities the
// device is made to report whatever it has.
#include "tweak/core/replacements.h"
#include "tweak/features/features.h"

namespace vorla::features {

using namespace core;

// Double precision on every device, whatever the platform's floating-point type.
using MaximumZoomFactor = ForcedArgument<BOOL(double), Real{20.0}>;

const Constructor& camera3() {
  static const Constructor constructor{
      "Camera3",
      "camera",
      "a maximum zoom factor of 20",
      nullptr,
      {
          hook<"CAMZoomControl", "_setMaximumZoomFactor:", MaximumZoomFactor>(),
          hook<"CAMZoomDial", "setMaximumZoomFactor:", MaximumZoomFactor>(),
      }};
  return constructor;
}

const Constructor& camera1() {
  static const Constructor constructor{
      "Camera1",
      "camera",
      "every capture capability reported as supported",
      nullptr,
      {
          hook<"CAMCaptureCapabilities", "isNeuralEngineSupported", Answer<BOOL(), YES>>(),
          hook<"CAMCaptureCapabilities", "isCTMSupported", Answer<BOOL(), YES>>(),
          hook<"CAMCaptureCapabilities", "deviceSupportsCTM", Answer<BOOL(), YES>>(),
          hook<"CAMCaptureCapabilities", "isSmartHDRSupported", Answer<BOOL(), YES>>(),
          hook<"CAMCaptureCapabilities", "isLowLightSupported", Answer<BOOL(), YES>>(),
          hook<"CAMCaptureCapabilities", "isAutoLowLightVideoSupported", Answer<BOOL(), YES>>(),
          hook<"CAMCaptureCapabilities", "isPipelinedStillImageProcessingSupported",
               Answer<BOOL(), YES>>(),
          hook<"CAMCaptureCapabilities", "featureDevelopmentEmulateSuperWide",
               Answer<BOOL(), YES>>(),
      }};
  return constructor;
}

}  // namespace vorla::features
