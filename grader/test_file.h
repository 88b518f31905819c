#pragma once
// A teacher's test file: the cases a program must pass, each with the words
// written before the run and what must hold after it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "machine/flags.h"
#include "machine/memory_words.h"
#include "machine/run.h"

namespace akkusim {

inline constexpr int64_t kDefaultCaseSteps = 1'000'000;
// About four seconds of the run loop: a learner's endless loop still ends.
inline constexpr int64_t kMostCaseSteps = 1'000'000'000;
inline constexpr std::size_t kMostTestFileBytes = 1u << 20;
inline constexpr std::size_t kMostCases = 10'000;
inline constexpr int32_t kMostCasePoints = 1000;

struct TestCase {
  std::string name;
  std::vector<WordBlock> memory;  // written after assembling
  std::optional<WordBits> accumulator;
  std::vector<WordBlock> expectedMemory;
  std::optional<WordBits> expectedAccumulator;
  std::array<std::optional<uint8_t>, kFlagCount> expectedFlags;  // by kFlags
  RunEnd expectedEnd = RunEnd::Hold;
  int32_t points = 1;
  // Counts like any case, but the text report and the learner's view keep
  // its words and differences to themselves.
  bool hidden = false;
  std::string hint;                 // shown under the case when it fails
  std::optional<int64_t> maxSteps;  // instead of the file's
};

struct TestSuite {
  std::string title;
  int64_t maxSteps = kDefaultCaseSteps;
  // Instructions a program must not use, as the instruction table spells them.
  std::vector<std::string> forbidden;
  // The same for the run, which refuses them however they came into memory:
  // kMemoryWords entries indexed by a code word's bits, 1 for a forbidden
  // instruction. Empty when nothing is forbidden, and then no run pays for it.
  std::vector<uint8_t> forbiddenCodes;
  std::vector<TestCase> cases;
  bool pointsGiven = false;  // some case sets `points`: the text report shows them
};

int64_t stepsOf(const TestSuite& suite, const TestCase& testCase);
int64_t maxPoints(const TestSuite& suite);

// Where the file breaks a rule (1-based line and column) and why, in German.
// A rule about the file as a whole (its size) has no place: line and column 0.
struct TestFileError {
  int32_t line = 1;
  int32_t column = 1;
  std::string reason;
};

struct TestFileReading {
  std::optional<TestSuite> suite;  // nothing when the file was refused
  TestFileError error;
};

// Reads the whole file as one text; refuses it whole at the first rule it
// breaks (the earliest in the file when there are several).
TestFileReading readTestFile(std::string_view text);

}  // namespace akkusim
