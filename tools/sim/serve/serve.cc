#include "tools/sim/serve/serve.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <ctime>
#include <iostream>
#include <thread>

#include "tools/sim/serve/change_queue.h"
#include "tools/sim/serve/http_server.h"
#include "tools/sim/serve/page_state.h"
#include "tools/sim/serve/preview.h"
#include "tools/sim/serve/request_guard.h"
#include "tools/sim/serve/routes.h"
#include "tools/sim/serve/state_channel.h"
#include "tools/sim/settings_follower.h"

namespace vorla::sim {
namespace {

sigset_t stopSignals() {
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  return stops;
}

// Whether SIGINT or SIGTERM came within `patience`. Every thread keeps them blocked and the
// follower takes them here: a handler could run on the thread blocked in the server's loop,
// which would never look at a flag (and ThreadSanitizer delays it until the wait returns).
bool stopSignalled(std::chrono::milliseconds patience) {
  sigset_t stops = stopSignals();
  timespec wait{0, static_cast<long>(patience.count()) * 1'000'000};
  return ::sigtimedwait(&stops, nullptr, &wait) > 0;
}

// Follows the settings file until a stop signal or the server's end, publishing the page's state at
// once when the file changes and again once the preview has caught up.
void follow(DeviceSetup& setup, Preview& preview, StateChannel& channel,
            const std::atomic<bool>& serverEnded) {
  SettingsFollower follower(setup.settingsFile());
  std::string problem;
  auto publish = [&](bool updating) {
    channel.publish(pageState(follower.path(), follower.current(), follower.lastGood(),
                              preview.json(), updating, problem));
  };
  publish(false);
  while (!serverEnded && !stopSignalled(std::chrono::milliseconds(150))) {
    SettingsFollower::Look look = follower.look();
    if (look.changes.empty()) {
      // The apps keep the last settings they saw, and so does the page.
      if (look.readabilityChanged) publish(false);
      continue;
    }
    publish(true);
    problem = setup.refresh();
    if (problem.empty()) problem = preview.update(look.changes);
    publish(false);
  }
}

}  // namespace

int serve(DeviceSetup& setup, const Programs& programs, int port) {
  // Before any thread starts, so that every thread inherits the mask.
  sigset_t stops = stopSignals();
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);

  std::cerr << "vorla-sim: starting every app..." << std::endl;
  Preview preview(programs, setup.root());
  if (std::string problem = preview.start(); !problem.empty()) {
    std::cerr << "vorla-sim: " << problem << '\n';
    return 1;
  }
  HttpServer server;
  int bound = server.listen(port);
  if (bound <= 0) {
    std::cerr << "vorla-sim: cannot listen on 127.0.0.1"
              << (port ? ":" + std::to_string(port) : std::string()) << '\n';
    return 1;
  }
  RequestGuard guard(bound);
  StateChannel channel;
  channel.onChange([&server] { server.wakeStreams(); });
  ChangeQueue changes(setup.settingsFile());
  Site site = pageSite(guard, channel, changes);
  std::atomic<bool> serverEnded = false;
  std::thread follower([&] {
    follow(setup, preview, channel, serverEnded);
    channel.close();
    server.stop();
  });
  std::cout << "Settings page: http://127.0.0.1:" << bound << "/?token=" << guard.token()
            << "\nIt follows " << setup.settingsFile() << " (Ctrl-C stops)" << std::endl;
  bool served = server.run(site);
  if (!served) std::cerr << "vorla-sim: the settings page's server cannot start\n";
  serverEnded = true;
  follower.join();
  return served ? 0 : 1;
}

}  // namespace vorla::sim
