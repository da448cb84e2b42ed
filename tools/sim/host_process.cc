#include "tools/sim/host_process.h"

#include <fcntl.h>
#include <fmt/format.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <string_view>

namespace vorla::sim {
namespace {

std::string endOf(int status) {
  if (WIFSIGNALED(status)) {
    return fmt::format("ended by signal {} ({})", WTERMSIG(status), strsignal(WTERMSIG(status)));
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
    return fmt::format("exited with status {}", WEXITSTATUS(status));
  }
  return "";
}

}  // namespace

HostProcess::HostProcess(const std::string& helper, const std::string& library,
                         const std::string& app, const std::string& deviceRoot,
                         const std::vector<PlannedHook>& hooks)
    : planned_(hooks.size()) {
  // Close-on-exec, so that a host started while another runs holds none of the other's pipe
  // ends, and each host sees the end of its input when its own simulator closes it.
  int in[2] = {-1, -1}, out[2] = {-1, -1};
  auto fail = [&](const char* what) {
    startError_ = std::string(what) + std::strerror(errno);
    for (int fd : {in[0], in[1], out[0], out[1]}) {
      if (fd >= 0) ::close(fd);
    }
  };
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
    fail("cannot make a pipe: ");
    return;
  }
  // Everything the child needs is made before the fork: other threads of the simulator may hold
  // the allocator's lock at that moment, and the child must not wait for it.
  std::vector<std::string> environment{"VORLA_DEVICE_ROOT=" + deviceRoot};
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (!std::string_view(*entry).starts_with("VORLA_DEVICE_ROOT=")) environment.push_back(*entry);
  }
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  const char* argv[] = {helper.c_str(), library.c_str(), app.c_str(), nullptr};
  std::string cannotRun = "error cannot run " + helper + "\n";
  // The host starts with no signal blocked, whatever the simulator's threads block.
  sigset_t noSignals;
  sigemptyset(&noSignals);
  std::fflush(nullptr);
  pid_ = ::fork();
  if (pid_ < 0) {
    fail("cannot start a host process: ");
    return;
  }
  if (pid_ == 0) {
    // Copied clear of the standard descriptors first: when the simulator runs with one of them
    // closed, a pipe end may be that very descriptor, and one copy would overwrite the other.
    int input = ::fcntl(in[0], F_DUPFD, STDERR_FILENO + 1);
    int output = ::fcntl(out[1], F_DUPFD, STDERR_FILENO + 1);
    ::dup2(input, STDIN_FILENO);
    ::dup2(output, STDOUT_FILENO);
    ::close(input);
    ::close(output);
    ::sigprocmask(SIG_SETMASK, &noSignals, nullptr);
    ::execve(argv[0], const_cast<char* const*>(argv), envp.data());
    [[maybe_unused]] ssize_t ignored = ::write(STDOUT_FILENO, cannotRun.data(), cannotRun.size());
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  toHost_ = ::fdopen(in[1], "w");
  fromHost_ = ::fdopen(out[0], "r");
  std::ostringstream plan;
  writePlan(plan, hooks);
  std::fputs(plan.str().c_str(), toHost_);
  std::fflush(toHost_);
}

HostProcess::~HostProcess() { finish(); }

std::string HostProcess::finish() {
  if (toHost_ != nullptr) std::fclose(toHost_);  // the host ends at the end of its input
  toHost_ = nullptr;
  if (fromHost_ != nullptr) std::fclose(fromHost_);
  fromHost_ = nullptr;
  if (pid_ <= 0 || ended_) return "";
  ended_ = true;
  int status = 0;
  for (int tries = 0; tries < 200; ++tries) {
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      std::string end = endOf(status);
      return end.empty() ? "" : "the host process " + end;
    }
    ::usleep(10'000);
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, &status, 0);
  return "the host process did not end within two seconds of its input's end";
}

Round HostProcess::next() {
  if (!startError_.empty()) return {{}, startError_, {}};
  LineSource lines = [this]() -> std::optional<std::string> {
    std::string line;
    int c;
    while ((c = std::fgetc(fromHost_)) != EOF && c != '\n') line += static_cast<char>(c);
    // A line is whole only with its end: a host that stops in the middle of one ended early.
    if (c == EOF) return std::nullopt;
    return line;
  };
  Round round = readRound(lines);
  for (const HookOutcome& outcome : round.outcomes) {
    if (round.error.empty() &&
        (outcome.index < 0 || static_cast<std::size_t>(outcome.index) >= planned_)) {
      round.error = "the host process reported a hook that was not planned";
    }
  }
  if (round.error == kEndedEarly) {
    int status = 0;
    if (::waitpid(pid_, &status, 0) == pid_) {
      ended_ = true;
      round.error += ": it " + endOf(status);
    }
  }
  return round;
}

void HostProcess::driveAgain() {
  if (toHost_ == nullptr) return;
  std::ostringstream again;
  writeDriveAgain(again);
  std::fputs(again.str().c_str(), toHost_);
  std::fflush(toHost_);
}

}  // namespace vorla::sim
