#include "tools/common/command_line.h"

#include <iostream>

namespace vorla::tools {

CommandLine::CommandLine(const char* tool, std::string usage)
    : tool_(tool), usage_(std::move(usage)), app_(std::string(), tool) {
  app_.set_help_flag();
  // Unknown options stay among the words, in their place, so that each tool decides what a
  // word beginning with a dash is: an unknown option, a negative number, a text to store.
  app_.allow_extras();
  help_ = app_.add_flag("-h,--help");
}

CLI::Option* CommandLine::value(const std::string& name, std::string& into,
                                const std::string& needs, const std::string& emptyTail) {
  std::string refusal = name + " needs " + needs + emptyTail;
  return app_.add_option(name, into)
      ->type_name(needs)
      ->take_last()
      ->each([refusal](const std::string& given) {
        if (given.empty()) throw UsageError{refusal};
      });
}

CLI::Option* CommandLine::flag(const std::string& name, bool& into) {
  // CLI11 would read --force=0 as "not forced"; these flags never took a value.
  return app_.add_flag(name, into)->each([name](const std::string& given) {
    if (given != "true") throw UsageError{"unknown option " + name + "=" + given};
  });
}

std::optional<int> CommandLine::parse(int argc, char** argv, std::vector<std::string>& words) {
  // CLI11 reads "--root=" as "--root" and then takes the next word as its value; "--root=" is
  // an empty value, to refuse as one. CLI11 takes its words last first.
  std::vector<std::string> reversed;
  for (int i = argc - 1; i >= 1; --i) {
    std::string word = argv[i];
    CLI::Option* option = word.size() > 3 && word.starts_with("--") && word.ends_with('=')
                              ? app_.get_option_no_throw(word.substr(0, word.size() - 1))
                              : nullptr;
    if (option != nullptr && option->get_expected_max() > 0) {
      reversed.emplace_back();
      word.pop_back();
    }
    reversed.push_back(word);
  }
  std::optional<std::string> refusal;
  try {
    app_.parse(reversed);
  } catch (const UsageError& error) {
    refusal = error.message;
  } catch (const CLI::ArgumentMismatch& error) {
    // The words ran out before an option's value: the option is the last word.
    std::string last = argv[argc - 1];
    CLI::Option* option = app_.get_option_no_throw(last.substr(0, last.find('=')));
    refusal = option ? option->get_name() + " needs " + option->get_type_name() : error.what();
  } catch (const CLI::ParseError& error) {
    refusal = error.what();
  }
  if (help_->count() > 0) {
    std::cout << usage_;
    return 0;
  }
  if (refusal) return usageError(*refusal);
  words = app_.remaining();
  return std::nullopt;
}

int CommandLine::usageError(const std::string& message) const {
  std::cerr << tool_ << ": " << message << " (" << tool_ << " --help shows the usage)\n";
  return 2;
}

}  // namespace vorla::tools
