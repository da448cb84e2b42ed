// The tools' command lines, read with CLI11 and answered in the tools' own words.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

namespace vorla::tools {

// A command line a tool refuses; it may be thrown from an option's check while the line is read.
struct UsageError {
  std::string message;
};

// Declares the tool's options on a CLI11 app whose own help and error texts are never shown:
// the tool prints its usage text for -h or --help anywhere on the line (an option's value
// excepted), and every refusal as "TOOL: MESSAGE (TOOL --help shows the usage)" with status 2.
// Words that are no option's are handed back in order, for the tool to make sense of.
class CommandLine {
 public:
  CommandLine(const char* tool, std::string usage);

  // An option with a value, as "--name VALUE" or "--name=VALUE", the last one given counting.
  // Without a value it is refused as "--name needs `needs`", with an empty one as
  // "--name needs `needs``emptyTail`".
  CLI::Option* value(const std::string& name, std::string& into, const std::string& needs,
                     const std::string& emptyTail);
  // An option without a value; "--name=VALUE" is an unknown option.
  CLI::Option* flag(const std::string& name, bool& into);
  CLI::App& app() { return app_; }

  // Reads the line into the options and `words`; returns the exit status when it is decided
  // already (the usage shown, or the line refused).
  std::optional<int> parse(int argc, char** argv, std::vector<std::string>& words);

  // Reports `message` as a refused command line and returns its status, 2.
  int usageError(const std::string& message) const;

 private:
  const char* tool_;
  std::string usage_;
  CLI::App app_;
  CLI::Option* help_;
};

}  // namespace vorla::tools
