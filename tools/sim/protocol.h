// What the simulator and its host processes tell each other through a pipe, one line per field:
// the hooks to drive, then what each call did before and after the library was loaded.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
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

struct HookOutcome {
  int index = 0;
  // "app": the class is the app's own; "every": the interface framework's; "absent".
  std::string scope;
  // "replaced", "added" (the class only inherited the method), "key-off", "class-absent",
  // "method-absent", "unchanged" (nothing stopped it, yet the implementation is the same).
  std::string status;
  std::vector<std::string> passed;  // the arguments of the representative call
  Measurement without;
  Measurement with;
};

// A source of lines without their line ends; nullopt at the end.
using LineSource = std::function<std::optional<std::string>()>;

void writePlan(std::ostream& out, const std::vector<PlannedHook>& hooks);
std::optional<std::vector<PlannedHook>> readPlan(const LineSource& in);

// What the host process holds after a round: live objects of the stand-in and open
// descriptors, so that a round repeated many times shows whether anything accumulates.
struct Held {
  long objects = -1;
  long descriptors = -1;
};

// One round: every outcome, what the process holds, then "done"; or one "error" line.
void writeOutcomes(std::ostream& out, const std::vector<HookOutcome>& outcomes, const Held& held);
void writeError(std::ostream& out, const std::string& message);

struct Round {
  std::vector<HookOutcome> outcomes;
  std::string error;  // set when the host process reported one or ended early
  Held held;
};
Round readRound(const LineSource& in);
inline constexpr const char* kEndedEarly = "the host process ended before it reported";

}  // namespace vorla::sim
