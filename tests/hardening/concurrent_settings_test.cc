// Host threads calling hooked methods while the settings file is rewritten under them, replaced
// atomically and truncated and written in place. Every value a host sees must be one that was
// written, or the fallback or default that an unreadable moment gives: never a torn one. The load
// sequence runs in this process, beside the preferences service's own thread.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "standin/foundation/values.h"
#include "standin/runtime/message.h"
#include "standin/runtime/object.h"
#include "tests/support/device_root.h"
#include "tools/common/plist_writer.h"
#include "tweak/core/feature_gate.h"
#include "tweak/host/autorelease_pool.h"
#include "tweak/load_sequence.h"

namespace vorla::testing {
namespace {

using standin::send;

constexpr int kHostThreads = 8;
constexpr int kRewrites = 300;

const char* const kColours[] = {"#102030", "#405060", "#708090", "#a0b0c0"};
const long long kCounts[] = {11, 222, 3333, 44444};
const double kHeights[] = {2.5, 5.0, 7.5, 10.0};

plist::Dictionary settingsVersion(int version) {
  int i = version % 4;
  return {{"colors7", boolean(true)},      {"bar1", boolean(true)},
          {"editWatchr", boolean(true)},   {"sliderSwitch", boolean(true)},
          {"colors7a", text(kColours[i])}, {"barxx", text(kColours[3 - i])},
          {"watchr", integer(kCounts[i])}, {"sliderKeya", real(kHeights[i])}};
}

// Half the rewrites replace the file atomically; the others truncate it and write it in place,
// so readers also meet it empty or half written.
void rewrite(const DeviceRoot& root, int version) {
  if (version % 2 == 0) {
    root.writeSettings(settingsVersion(version));
    return;
  }
  auto bytes = plist::writeBinary(plist::Value{settingsVersion(version)});
  int fd = ::open(root.settingsPath().c_str(), O_WRONLY | O_TRUNC | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  for (std::size_t written = 0; written < bytes.size();) {
    std::size_t chunk = std::min<std::size_t>(64, bytes.size() - written);
    ssize_t n = ::write(fd, bytes.data() + written, chunk);
    ASSERT_GT(n, 0);
    written += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

TEST(ConcurrentSettings, HostsSeeOnlyWrittenValuesFallbacksOrDefaults) {
  DeviceRoot root;
  root.writeSettings(settingsVersion(0));
  for (const char* app : {"springboard", "feed"}) hosts::registerApp(app);
  {
    host::AutoreleasePool pool;
    core::runLoadSequence(loadSequence());
  }

  std::set<std::string> labelColours{"#000000"}, barColours{"#000000"};
  for (const char* colour : kColours) {
    labelColours.insert(colour);
    barColours.insert(colour);
  }
  std::set<long long> counts{0, kCounts[0], kCounts[1], kCounts[2], kCounts[3]};
  constexpr double kHostHeight = 99.0;
  std::set<double> heights{kHostHeight, 1.0, kHeights[0], kHeights[1], kHeights[2], kHeights[3]};

  std::atomic<bool> writing{true};
  std::atomic<long> calls{0}, unexpected{0};
  std::vector<std::thread> hostThreads;
  for (int t = 0; t < kHostThreads; ++t) {
    hostThreads.emplace_back([&] {
      id label = hosts::newInstance("UILabel");
      id attributes = hosts::newInstance("_UIStatusBarStyleAttributes");
      id item = hosts::newInstance("IGFeedItem");
      id pill = hosts::newInstance("MTLumaDodgePillSettings");
      while (writing.load()) {
        standin::pushAutoreleasePool();
        send(label, "setTextColor:", static_cast<id>(nil));
        bool ok = labelColours.count(standin::describe(
                      std::get<id>(hosts::lastArgument(label, "setTextColor:")))) != 0;
        ok &= barColours.count(standin::describe(send<id>(attributes, "textColor"))) != 0;
        ok &= counts.count(send<long long>(item, "viewerCount")) != 0;
        send(pill, "setHeight:", kHostHeight);
        ok &= heights.count(std::get<double>(hosts::lastArgument(pill, "setHeight:"))) != 0;
        if (!ok) unexpected.fetch_add(1);
        calls.fetch_add(1);
        standin::popAutoreleasePool();
      }
      for (id object : {label, attributes, item, pill}) standin::releaseObject(object);
    });
  }
  for (int version = 1; version <= kRewrites; ++version) rewrite(root, version);
  writing.store(false);
  for (std::thread& thread : hostThreads) thread.join();

  EXPECT_EQ(unexpected.load(), 0) << "of " << calls.load() << " rounds";
  EXPECT_GT(calls.load(), kHostThreads) << "the host threads ran alongside the rewrites";
}

}  // namespace
}  // namespace vorla::testing
