// What the simulator and its host processes tell each other through a pipe, one JSON object per
// line: the hooks to drive, then, round by round, what each call did before and after the library
// was loaded.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorla::sim {

struct PlannedHook {
  int index = 0;
  std::string enableKey;  // empty for a hook without one
  std::string className;
  std::string selector;
  bool classMethod = false;
  bool enableKeyOn = false;  // as the library reads it when it loads
};

// What one representative call did.
struct Measurement {
  bool hostCalled = false;
  std::vector<std::string> hostGot;      // the arguments that reached the host's method
  std::optional<std::string> callerGot;  // the result the caller got; none for void
  std::vector<std::string> also;         // other methods the call reached on the receiver
  std::string note;                      // why there was no call
};

// Whose class a hook's target is in one app's process.
enum class Scope {
  kApp,    // the app's own
  kEvery,  // the interface framework's, present in every app
  kAbsent,
};

// What loading the library did to a hook's method, read from the runtime.
enum class Status {
  kReplaced,  // the class's own implementation changed
  kAdded,     // the class only inherited the method and now has its own
  kKeyOff,
  kClassAbsent,
  kMethodAbsent,
  kUnchanged,  // nothing stopped it, yet the implementation is the same
};

// The names the pipe and the simulator's JSON report use.
std::string_view scopeName(Scope scope);
std::string_view statusName(Status status);
std::optional<Scope> scopeNamed(std::string_view name);
std::optional<Status> statusNamed(std::string_view name);

inline bool isInstalled(Status status) {
  return status == Status::kReplaced || status == Status::kAdded;
}

struct HookOutcome {
  int index = 0;
  Scope scope = Scope::kAbsent;
  Status status = Status::kUnchanged;
  std::vector<std::string> passed;  // the arguments of the representative call
  Measurement without;
  Measurement with;
};

// A source of lines without their line ends; nullopt at the end.
using LineSource = std::function<std::optional<std::string>()>;

void writePlan(std::ostream& out, const std::vector<PlannedHook>& hooks);
std::optional<std::vector<PlannedHook>> readPlan(const LineSource& in);

// After a round, the simulator asks for another of the same calls, in the same process; the end
// of its input ends the host.
void writeDriveAgain(std::ostream& out);
bool isDriveAgain(const std::optional<std::string>& line);

// What the host process holds after a round: live objects of the stand-in and open
// descriptors, so that a round repeated many times shows whether anything accumulates.
struct Holdings {
  long objects = -1;
  long descriptors = -1;
};

// One round: every outcome and what the process holds; or an error instead.
void writeOutcomes(std::ostream& out, const std::vector<HookOutcome>& outcomes,
                   const Holdings& held);
void writeError(std::ostream& out, const std::string& message);

struct Round {
  std::vector<HookOutcome> outcomes;
  std::string error;  // set when the host process reported one or ended early
  Holdings held;
};
Round readRound(const LineSource& in);
inline constexpr const char* kEndedEarly = "the host process ended before it reported";

}  // namespace vorla::sim
