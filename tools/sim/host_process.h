// A simulated host app in a process of its own (vorla-sim-host), driven through two pipes.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>

#include "tools/sim/protocol.h"

namespace vorla::sim {

class HostProcess {
 public:
  // Starts `helper LIBRARY APP` with `deviceRoot` as its device root and sends it the hooks.
  HostProcess(const std::string& helper, const std::string& library, const std::string& app,
              const std::string& deviceRoot, const std::vector<PlannedHook>& hooks);
  ~HostProcess();
  HostProcess(const HostProcess&) = delete;
  HostProcess& operator=(const HostProcess&) = delete;

  // The outcomes of the next round: the first one after start, then one per drive(). A round
  // that names a hook it was not sent is an error: the rows are looked up by it.
  Round next();
  // Asks for another round of the same calls, in the same process.
  void driveAgain();
  // Ends the host's input and waits for it to exit: "" when it exited cleanly, otherwise how it
  // ended (a status, a signal, or stopped after two seconds), so that a fault after its last
  // round is not lost.
  std::string finish();

 private:
  pid_t pid_ = -1;
  bool ended_ = false;
  std::FILE* toHost_ = nullptr;
  std::FILE* fromHost_ = nullptr;
  std::string startError_;
  std::size_t planned_ = 0;
};

}  // namespace vorla::sim
