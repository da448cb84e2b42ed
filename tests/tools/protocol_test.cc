// The pipe between the simulator and its host processes: what one side writes the other reads
// back exactly, whatever the texts hold, and a line that is not a whole message of the right
// shape ends the round with an error instead of a row read wrong.
#include "tools/sim/protocol.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vorla::sim {
namespace {

// The lines `write` produced, one at a time.
template <class Write>
LineSource linesOf(Write write) {
  auto stream = std::make_shared<std::istringstream>([&] {
    std::ostringstream out;
    write(out);
    return out.str();
  }());
  return [stream]() -> std::optional<std::string> {
    std::string line;
    if (!std::getline(*stream, line)) return std::nullopt;
    return line;
  };
}

LineSource theseLines(std::vector<std::string> lines) {
  auto next = std::make_shared<std::size_t>(0);
  return [lines = std::move(lines), next]() -> std::optional<std::string> {
    if (*next == lines.size()) return std::nullopt;
    return lines[(*next)++];
  };
}

const std::vector<std::string> kAwkwardTexts = {
    "", "two\nlines", "a \"quote\" and a \\ backslash", "tab\tand\r", "✓ ünïcode 🎉", " - "};

HookOutcome awkwardOutcome() {
  HookOutcome outcome;
  outcome.index = 41;
  outcome.scope = Scope::kEvery;
  outcome.status = Status::kAdded;
  outcome.passed = kAwkwardTexts;
  outcome.without = {true, kAwkwardTexts, std::string(""), {"layoutSubviews"}, ""};
  outcome.with = {false, {}, std::nullopt, {}, "no call: the class is absent"};
  return outcome;
}

void expectSame(const Measurement& a, const Measurement& b) {
  EXPECT_EQ(a.hostCalled, b.hostCalled);
  EXPECT_EQ(a.hostGot, b.hostGot);
  EXPECT_EQ(a.callerGot, b.callerGot);
  EXPECT_EQ(a.also, b.also);
  EXPECT_EQ(a.note, b.note);
}

TEST(Protocol, APlanIsReadBackHookByHook) {
  std::vector<PlannedHook> plan = {{0, "", "UIView", "setAlpha:", false, false},
                                   {7, "Key With Space", "Cls", "+x:y:", true, true}};
  std::optional<std::vector<PlannedHook>> read =
      readPlan(linesOf([&](auto& out) { writePlan(out, plan); }));
  ASSERT_TRUE(read);
  ASSERT_EQ(read->size(), 2u);
  for (std::size_t i = 0; i < plan.size(); ++i) {
    EXPECT_EQ((*read)[i].index, plan[i].index);
    EXPECT_EQ((*read)[i].enableKey, plan[i].enableKey);
    EXPECT_EQ((*read)[i].className, plan[i].className);
    EXPECT_EQ((*read)[i].selector, plan[i].selector);
    EXPECT_EQ((*read)[i].classMethod, plan[i].classMethod);
    EXPECT_EQ((*read)[i].enableKeyOn, plan[i].enableKeyOn);
  }
  EXPECT_FALSE(readPlan(theseLines({})));
  EXPECT_FALSE(readPlan(theseLines({R"({"plan": [{"index": "0"}]})"})));
}

TEST(Protocol, ARoundKeepsEveryTextAndTellsNoAnswerFromAnEmptyOne) {
  HookOutcome sent = awkwardOutcome();
  Round round = readRound(linesOf([&](auto& out) { writeOutcomes(out, {sent, sent}, {12, 5}); }));
  ASSERT_EQ(round.error, "");
  ASSERT_EQ(round.outcomes.size(), 2u);
  const HookOutcome& read = round.outcomes[1];
  EXPECT_EQ(read.index, 41);
  EXPECT_EQ(read.scope, Scope::kEvery);
  EXPECT_EQ(read.status, Status::kAdded);
  EXPECT_EQ(read.passed, kAwkwardTexts);
  expectSame(read.without, sent.without);
  expectSame(read.with, sent.with);
  EXPECT_EQ(round.held.objects, 12);
  EXPECT_EQ(round.held.descriptors, 5);

  Round failed = readRound(linesOf([](auto& out) { writeError(out, "cannot load\nthe library"); }));
  EXPECT_EQ(failed.error, "cannot load\nthe library");
  EXPECT_EQ(readRound(theseLines({})).error, kEndedEarly);
}

TEST(Protocol, AMessageOfAnotherShapeIsAnErrorWithNoRows) {
  std::ostringstream out;
  writeOutcomes(out, {awkwardOutcome()}, {1, 1});
  std::string good = out.str().substr(0, out.str().size() - 1);
  auto withReplaced = [&](const std::string& from, const std::string& to) {
    std::string line = good;
    std::size_t at = line.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? line : line.replace(at, from.size(), to);
  };
  for (const std::string& line :
       {good.substr(0, good.size() / 2), std::string("[") + good + "]", std::string("done"),
        withReplaced("\"index\":41", "\"index\":\"41\""),
        withReplaced("\"status\":\"added\"", "\"status\":\"installed\""),
        withReplaced("\"scope\":\"every\"", "\"scope\":null"),
        withReplaced("\"called\":true", "\"called\":1"),
        withReplaced("\"held\":{\"descriptors\":1,\"objects\":1},", ""),
        withReplaced("\"passed\":[", "\"passed\":[7,")}) {
    Round round = readRound(theseLines({line}));
    EXPECT_NE(round.error, "") << line;
    EXPECT_TRUE(round.outcomes.empty()) << line;
  }
}

TEST(Protocol, OnlyTheRequestForAnotherRoundDrivesAgain) {
  std::ostringstream again;
  writeDriveAgain(again);
  std::string line = again.str().substr(0, again.str().size() - 1);
  EXPECT_TRUE(isDriveAgain(line));
  for (std::optional<std::string> other : std::vector<std::optional<std::string>>{
           std::nullopt, "", "again", "{}", "[\"again\"]", R"({"drive": "stop"})"}) {
    EXPECT_FALSE(isDriveAgain(other)) << other.value_or("(end)");
  }
}

}  // namespace
}  // namespace vorla::sim
