// Camera and Photos hooks, loaded into host processes as the device's loader would.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/foundation/values.h"
#include "device/runtime/message.h"
#include "device/runtime/object.h"
#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "tests/integration/scenario.h"
#include "tests/support/child_process.h"
#include "tests/support/leak_check.h"

namespace vorla::testing {
namespace {

using device::send;
using hosts::callCount;
using hosts::newInstance;
using plist::Dictionary;

// One Photos row and what it does while its setting is on.
struct PhotosRow {
  const char* setting;
  const char* className;
  const char* selector;
  enum Shape { kSetter, kGetter, kQuery } shape;
  BOOL forced;  // the argument a setter hands on, or the answer given alone
  bool classMethod = false;
};

const PhotosRow kPhotosRows[] = {
    {"Slideshow", "PUBrowsingVideoPlayer", "setMuted:", PhotosRow::kSetter, NO},
    {"Slideshow", "PUBrowsingVideoPlayer", "isMuted", PhotosRow::kGetter, NO},
    {"Slideshow", "PUBrowsingViewModel", "autoplayVideoMuted", PhotosRow::kGetter, NO, true},
    {"Slideshow", "PUBrowsingViewModel", "setAutoplayVideoMuted:", PhotosRow::kSetter, NO, true},
    {"Slideshow", "PUBrowsingViewModel", "isAutoplayVideoMuted", PhotosRow::kGetter, NO},
    {"SkipDelete", "PUDeletePhotosActionController",
     "setShouldSkipDeleteConfirmation:", PhotosRow::kSetter, YES},
    {"a1", "PUTabbedLibrarySettings", "setEnableSearchTab:", PhotosRow::kSetter, NO},
    {"a1", "PUTabbedLibrarySettings", "setEnableForYouTab:", PhotosRow::kSetter, NO},
    {"a2", "PXPhotoKitCollectionsDataSourceManager", "_containsAnyAssets:", PhotosRow::kQuery, NO},
    {"a2", "PXPhotoKitCollectionsDataSourceManager", "containsAnyAssets:", PhotosRow::kQuery, YES},
    {"DebugHUD", "PUPhotoEditProtoSettings", "setEnablePerfDebugHUD:", PhotosRow::kSetter, YES},
    {"DebugHUD", "PUPhotoEditProtoSettings", "setEnableReframeDebugHUD:", PhotosRow::kSetter, NO},
    {"DebugHUD", "PUPhotoEditProtoSettings",
     "setPerspectiveViewDebugCropEnabled:", PhotosRow::kSetter, YES},
};

Scenario cameraAndPhotos(const Dictionary& settings) {
  return Scenario(settings, appsNamed({"camera", "photos"}));
}

class CameraTest : public ::testing::TestWithParam<const char*> {};

// Each key works alone: zoom setters get 20.0 only under Camera3, capabilities YES only under
// Camera1.
TEST_P(CameraTest, ZoomAndCapabilitiesFollowTheirOwnKey) {
  const std::string key = GetParam();
  EXPECT_IN_CHILD([key] {
    Scenario scenario = cameraAndPhotos({{key, boolean(true)}});
    for (const HookRow& row : expectedRows({"Camera3"}, {})) {
      id zoom = newInstance(row.className);
      long calls = 0;
      for (double factor : {1.0, 10.0, 100.0}) {
        for (long long answer : {0LL, 1LL}) {
          hosts::setAnswer(row.className, row.selector, answer);
          EXPECT_EQ(send<BOOL>(zoom, row.selector, factor), answer) << row.selector;
          EXPECT_EQ(argumentOf(zoom, row.selector),
                    key == "Camera3" ? "20" : std::to_string(static_cast<int>(factor)));
          EXPECT_EQ(callCount(zoom, row.selector), ++calls);
        }
      }
    }
    id capabilities = newInstance("CAMCaptureCapabilities");
    for (const HookRow& row : expectedRows({"Camera1"}, {})) {
      EXPECT_EQ(send<BOOL>(capabilities, row.selector), key == "Camera1") << row.selector;
      EXPECT_EQ(callCount(capabilities, row.selector), key == "Camera1" ? 0 : 1) << row.selector;
    }
  });
}

INSTANTIATE_TEST_SUITE_P(Camera, CameraTest, ::testing::Values("Camera3", "Camera1"));

void setHostAnswer(const PhotosRow& row, long long answer) {
  if (row.classMethod) {
    hosts::setClassAnswer(row.className, row.selector, answer);
  } else {
    hosts::setAnswer(row.className, row.selector, answer);
  }
}

// Calls the row as the host would, on an instance of its own or on its class, and checks what
// reaches the host and what the caller gets, with the row's setting on or off.
void checkRow(const PhotosRow& row, bool on) {
  SCOPED_TRACE(std::string(row.selector) + (on ? " on" : " off"));
  id receiver = row.classMethod ? reinterpret_cast<id>(objc_getClass(row.className))
                                : newInstance(row.className);
  long calls = callCount(receiver, row.selector);
  for (BOOL given : {YES, NO}) {
    if (row.shape == PhotosRow::kSetter) {
      // The host's answer changes with each call, so the caller is seen to get it back.
      setHostAnswer(row, given);
      EXPECT_EQ(send<BOOL>(receiver, row.selector, given), given);
      EXPECT_EQ(argumentOf(receiver, row.selector), std::to_string(on ? row.forced : given));
      ++calls;
    } else {
      // The host answers the opposite of the forced value, so the caller is seen to get one.
      setHostAnswer(row, !row.forced);
      id argument = given ? hosts::hostText("collection") : nil;
      BOOL answer = row.shape == PhotosRow::kQuery ? send<BOOL>(receiver, row.selector, argument)
                                                   : send<BOOL>(receiver, row.selector);
      EXPECT_EQ(answer, on ? row.forced : !row.forced);
      if (!on) {
        ++calls;
        if (row.shape == PhotosRow::kQuery) {
          EXPECT_EQ(argumentOf(receiver, row.selector), device::describe(argument));
        }
      }
    }
    EXPECT_EQ(callCount(receiver, row.selector), calls);
  }
}

class PhotosSettingTest : public ::testing::TestWithParam<const char*> {};

// The empty setting stands for every setting off.
TEST_P(PhotosSettingTest, EachSettingForcesExactlyItsOwnRows) {
  const char* setting = GetParam();
  EXPECT_IN_CHILD([setting] {
    Scenario scenario = cameraAndPhotos({{setting, boolean(true)}});
    for (const PhotosRow& row : kPhotosRows) checkRow(row, std::string(row.setting) == setting);
  });
}

INSTANTIATE_TEST_SUITE_P(Photos, PhotosSettingTest,
                         ::testing::Values("", "Slideshow", "SkipDelete", "a1", "a2", "DebugHUD"));

TEST(Photos, ManyAssetQueriesLeaveNoObjectBehind) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = cameraAndPhotos({});
    id manager = newInstance("PXPhotoKitCollectionsDataSourceManager");
    // A collection of each round's own, so that one kept or released once too often shows.
    expectNothingLeftBehind(
        [&] {
          id collection = device::newString("collection");
          send<BOOL>(manager, "_containsAnyAssets:", collection);
          send<BOOL>(manager, "containsAnyAssets:", collection);
          device::releaseObject(collection);
        },
        2000);
  });
}

}  // namespace
}  // namespace vorla::testing
