// Values cross calls at the device's own widths: colour components in the platform's precision,
// and 64-bit integer answers whole on a 32-bit device too, where they come back in two registers.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "hosts/host_apps.h"
#include "standin/foundation/values.h"
#include "standin/runtime/object.h"
#include "tests/support/device_root.h"
#include "tweak/host/autorelease_pool.h"
#include "tweak/host/services.h"
#include "tweak/load_sequence.h"

namespace vorla {
namespace {

TEST(Widths, ColourComponentsArriveInThePlatformsPrecision) {
  host::AutoreleasePool pool;
  const auto rgba = standin::colourOf(host::colourWithComponents(0.1, 0.2, 0.7, 0.4));
  const standin::CGFloat expected[] = {0.1, 0.2, 0.7, 0.4};
  EXPECT_EQ(rgba, (text::Rgba{expected[0], expected[1], expected[2], expected[3]}));
}

// Calls `imp` as long long(id, SEL). On 32-bit x86 the upper half of the result register pair
// is set to garbage first, so that an implementation answering 32 bits cannot pass by luck.
long long callForWideAnswer(IMP imp, id self, SEL cmd) {
#if defined(__i386__)
  struct {
    IMP imp;
    id self;
    SEL cmd;
  } call{imp, self, cmd};
  std::uint32_t low, high;
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "andl $-16, %%esp\n\t"
      "subl $8, %%esp\n\t"
      "pushl 8(%[call])\n\t"
      "pushl 4(%[call])\n\t"
      "movl $0x5a5a5a5a, %%edx\n\t"
      "call *(%[call])\n\t"
      "movl %%esi, %%esp"
      : "=&a"(low), "=&d"(high)
      : [call] "r"(&call)
      : "ecx", "esi", "memory", "cc");
  return static_cast<long long>((std::uint64_t{high} << 32) | low);
#else
  return reinterpret_cast<long long (*)(id, SEL)>(imp)(self, cmd);
#endif
}

// Every hook whose host method answers a 64-bit integer: a count read from the settings file
// beyond 32 bits arrives whole, and a constant without a stale upper half.
TEST(Widths, SixtyFourBitAnswersArriveWhole) {
  constexpr long long kBeyond32Bits = 5'000'000'123LL;
  std::vector<const core::Hook*> hooks;
  plist::Dictionary settings;
  for (const core::Constructor* constructor : loadSequence()) {
    for (const core::Hook& hook : constructor->hooks) {
      hooks.push_back(&hook);
      if (hook.fileKey.key != nullptr && hook.fileKey.fallback == nullptr) {
        settings.push_back({hook.fileKey.key, testing::integer(kBeyond32Bits)});
      }
    }
  }
  testing::DeviceRoot root;
  root.writeSettings(settings);
  hosts::registerInterfaceModels();
  for (const hosts::HostApp& app : hosts::hostApps()) app.registerModels();

  int checked = 0;
  for (const core::Hook* hook : hooks) {
    SEL selector = sel_registerName(hook->selector);
    Method method = class_getInstanceMethod(objc_getClass(hook->className), selector);
    if (hook->kind != core::MethodKind::kInstance || method == nullptr ||
        method_getTypeEncoding(method)[0] != 'q') {
      continue;
    }
    host::AutoreleasePool pool;
    id receiver = hosts::newInstance(hook->className);
    const long long answer = callForWideAnswer(hook->replacement, receiver, selector);
    standin::releaseObject(receiver);
    ++checked;
    // A count from the settings file, or one of the library's small constants.
    EXPECT_EQ(answer, hook->fileKey.key != nullptr ? kBeyond32Bits : std::int32_t(answer))
        << hook->className << " " << hook->selector;
  }
  EXPECT_GT(checked, 0);
}

}  // namespace
}  // namespace vorla
