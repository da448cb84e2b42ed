// A host process that cannot start for want of descriptors gives back every one it opened.
#include "tools/sim/host_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <vector>

namespace vorla::sim {
namespace {

// Takes every free descriptor but `spare`; gives how many it took.
int fillAllBut(int spare) {
  std::vector<int> taken;
  for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;) taken.push_back(fd);
  for (int i = 0; i < spare && !taken.empty(); ++i, taken.pop_back()) ::close(taken.back());
  return static_cast<int>(taken.size());
}

TEST(HostProcess, AFailedStartLeavesNoDescriptorOpen) {
  // One spare: the first pipe fails; two or three: the second does.
  for (int spare : {1, 2, 3}) {
    auto start = [spare] {
      rlimit limit{64, 64};
      ::setrlimit(RLIMIT_NOFILE, &limit);
      fillAllBut(spare);
      HostProcess("/nonexistent/vorla-sim-host", "VorlaPro.so", "safari", "/", {}).next();
      ::_exit(fillAllBut(0) == spare ? 0 : 1);
    };
    EXPECT_EXIT(start(), testing::ExitedWithCode(0), "") << spare << " spare";
  }
}

}  // namespace
}  // namespace vorla::sim
