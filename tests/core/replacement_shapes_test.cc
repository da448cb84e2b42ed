// Each replacement shape once, in this process, on a model class of its own: with its switch or
// value on, off, and absent; then the cases that no shape covers alone, on the host models.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "standin/foundation/values.h"
#include "standin/runtime/message.h"
#include "standin/runtime/object.h"
#include "tests/support/device_root.h"
#include "tweak/core/feature_gate.h"
#include "tweak/core/replacements.h"
#include "tweak/features/appearance/keyboard_background.h"
#include "tweak/features/features.h"
#include "tweak/features/setting_shapes.h"
#include "tweak/host/autorelease_pool.h"
#include "tweak/settings/settings_registry.h"

BOOL shapeSwitch = NO;
id shapeText = nil;

namespace vorla::testing {
namespace {

using core::hook;
using hosts::callCount;
using hosts::lastArgument;
using standin::send;

std::string described(const hosts::Value& value) {
  if (auto* object = std::get_if<id>(&value)) return standin::describe(*object);
  if (auto* integer = std::get_if<long long>(&value)) return std::to_string(*integer);
  if (auto* real = std::get_if<double>(&value)) return std::to_string(*real);
  return "<none>";
}

class ShapeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    hosts::Model("ShapeHost", "NSObject")
        .method<BOOL()>("flag", 0LL)
        .method<void(id)>("setNote:")
        .method<id()>("tint")
        .method<void(double)>("setTension:")
        .method<void(id)>("setInk:")
        .method<id()>("paper")
        .method<long long()>("viewers", 5LL)
        .method<BOOL()>("visible", 0LL)
        .method<void(double)>("setScale:")
        .method<void(id)>("setTitle:")
        .build();
    using namespace core;
    using namespace features;
    installTableRows({
        hook<"ShapeHost", "flag", Answer<BOOL(), YES>>(),
        hook<"ShapeHost", "setNote:", Nothing<void(id)>>(),
        hook<"ShapeHost", "tint", FixedColour<0.2, 0.4, 0.6, 1.0>>(),
        hook<"ShapeHost", "setTension:", ForcedArgument<void(double), Real{2.5}>>(),
        hook<"ShapeHost", "setInk:", ColourArgument<"shapeInk", "#ff0000">>(),
        hook<"ShapeHost", "paper", ColourResult<"shapePaper", "#0000ff">>(),
        hook<"ShapeHost", "viewers", NumberResult<"shapeViewers">>(),
        hook<"ShapeHost", "visible", SwitchedAnswer<BOOL(), shapeSwitch, YES>>(),
        hook<"ShapeHost", "setScale:", SwitchedArgument<void(double), shapeSwitch, 3.0>>(),
        hook<"ShapeHost", "setTitle:", SettingArgument<void(id), shapeSwitch, shapeText>>(),
    });
  }
  void SetUp() override { host = hosts::newInstance("ShapeHost"); }
  void TearDown() override {
    standin::releaseObject(host);
    shapeSwitch = NO;
  }

  DeviceRoot root;
  host::AutoreleasePool pool;
  id host = nil;
};

TEST_F(ShapeTest, ConstantsAnswerAloneOrReachTheHostOnce) {
  EXPECT_EQ(send<BOOL>(host, "flag"), YES);
  send(host, "setNote:", hosts::hostText("note"));
  EXPECT_EQ(standin::describe(send<id>(host, "tint")), "#336699");
  send(host, "setTension:", 0.5);
  EXPECT_EQ(callCount(host, "flag") + callCount(host, "setNote:") + callCount(host, "tint"), 0);
  EXPECT_EQ(callCount(host, "setTension:"), 1);
  EXPECT_EQ(described(lastArgument(host, "setTension:")), std::to_string(2.5));
}

// The settings file's value, then none at all, then one of no colour or number reading.
TEST_F(ShapeTest, SettingsFileValuesOrTheirFallbacks) {
  auto expectFile = [&](const char* ink, const char* paper, long long viewers) {
    send(host, "setInk:", hosts::hostColour(0.2, 0.4, 0.8));
    EXPECT_EQ(described(lastArgument(host, "setInk:")), ink);
    EXPECT_EQ(standin::describe(send<id>(host, "paper")), paper);
    EXPECT_EQ(send<long long>(host, "viewers"), viewers);
  };
  root.writeSettings(
      {{"shapeInk", text("#00ff00")}, {"shapePaper", text("#abc")}, {"shapeViewers", integer(42)}});
  expectFile("#00ff00", "#aabbcc", 42);
  root.removeSettings();
  expectFile("#ff0000", "#0000ff", 0);
  root.writeSettings({{"shapeInk", integer(7)}, {"shapePaper", text("blue-ish")}});
  expectFile("#ff0000", "#0000ff", 0);
  EXPECT_EQ(callCount(host, "setInk:"), 3);
  EXPECT_EQ(callCount(host, "paper") + callCount(host, "viewers"), 0);
}

TEST_F(ShapeTest, SwitchedShapesFollowTheSwitchAtEveryCall) {
  id hostTitle = hosts::hostText("Host title");
  shapeText = hosts::hostText("User title");
  for (BOOL on : {NO, YES, NO}) {
    shapeSwitch = on;
    SCOPED_TRACE(on ? "on" : "off");
    EXPECT_EQ(send<BOOL>(host, "visible"), on);
    send(host, "setScale:", 0.5);
    EXPECT_EQ(described(lastArgument(host, "setScale:")), std::to_string(on ? 3.0 : 0.5));
    send(host, "setTitle:", hostTitle);
    EXPECT_EQ(described(lastArgument(host, "setTitle:")), on ? "\"User title\"" : "\"Host title\"");
  }
  EXPECT_EQ(callCount(host, "visible"), 2) << "the host answers only while off";
  EXPECT_EQ(callCount(host, "setScale:") + callCount(host, "setTitle:"), 6);
}

// A SpringBoard of the newer systems, without the older quick-actions controller, with the
// keyboard's setter replaced as another library might replace it. The hooks' methods must
// answer with their replacements afterwards, or the cases below would test the models alone.
void installOnHostModels() {
  static const std::vector<std::string> notInPlace = [] {
    hosts::registerInterfaceModels();
    hosts::registerSpringBoardModels(hosts::QuickActions::kCoverSheetOnly);
    std::vector<core::Hook> hooks = features::flash().hooks;
    hooks.insert(hooks.end(), features::camera().hooks.begin(), features::camera().hooks.end());
    hooks.push_back(hook<"UIKeyboardImpl", "layoutSubviews", features::KeyboardBackground>());
    hooks.push_back(
        hook<"UIKeyboardImpl", "setBackgroundColor:", core::ForcedArgument<void(id), nullptr>>());
    for (const core::Hook& each : hooks) core::installTableRows({each});
    std::vector<std::string> missing;
    for (const core::Hook& each : hooks) {
      Class target = objc_getClass(each.className);
      if (target == Nil) continue;  // the older controller, absent from these models
      if (each.kind == core::MethodKind::kClass) target = object_getClass(reinterpret_cast<id>(target));
      if (host::resolve(target, sel_registerName(each.selector)) != each.replacement) {
        missing.push_back(std::string(each.className) + " " + each.selector);
      }
    }
    return missing;
  }();
  EXPECT_TRUE(notInPlace.empty()) << ::testing::PrintToString(notInPlace);
}

// The absent controller's rows are skipped without taking the others with them. The capability
// query's explanation is the caller's own out-argument and stays as it was passed.
TEST(SpecialCases, QuickActionsOfOneSystemAndTheExplanationLeftAlone) {
  installOnHostModels();
  host::AutoreleasePool pool;
  id controller = hosts::newInstance("CSQuickActionsViewController");
  EXPECT_EQ(send<BOOL>(controller, "hasFlashlight"), NO);
  EXPECT_EQ(send<BOOL>(controller, "hasCamera"), NO);
  id springBoard = hosts::newInstance("SpringBoard");
  EXPECT_EQ(send<BOOL>(springBoard, "lockScreenCameraSupported"), NO);
  id aggregator = hosts::newInstance("SBMainDisplayPolicyAggregator");
  id explanation = hosts::hostText("the caller's");
  for (const char* selector : {"_allowsCapabilityLockScreenCameraSupportedWithExplanation:",
                               "_allowsCapabilityLockScreenCameraWithExplanation:"}) {
    EXPECT_EQ(send<BOOL>(aggregator, selector, &explanation), NO) << selector;
    EXPECT_EQ(standin::describe(explanation), "\"the caller's\"") << selector;
  }
  for (id object : {controller, springBoard, aggregator}) standin::releaseObject(object);
}

// The keyboard's colour is sent as a message, so a replacement of its setter applies too, and
// the layout pass follows every colour.
TEST(SpecialCases, KeyboardColourGoesThroughTheSettersOwnReplacement) {
  installOnHostModels();
  host::AutoreleasePool pool;
  tweakEnabled2 = YES;
  features2 = 18;
  id keyboard = hosts::newInstance("UIKeyboardImpl");
  send(keyboard, "layoutSubviews");
  EXPECT_EQ(callCount(keyboard, "setBackgroundColor:"), 1);
  EXPECT_EQ(described(lastArgument(keyboard, "setBackgroundColor:")), "nil");
  EXPECT_EQ(callCount(keyboard, "layoutSubviews"), 1);
  standin::releaseObject(keyboard);
  tweakEnabled2 = NO;
}

}  // namespace
}  // namespace vorla::testing
