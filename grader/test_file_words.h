#pragma once
// The words of a test file: addresses and values, the blocks written before
// a run, and what a case expects after it.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "grader/test_file.h"
#include "grader/toml_findings.h"
#include "machine/memory_words.h"

namespace akkusim {

std::optional<uint16_t> wordOf(Findings& findings, const toml::node& node, std::string_view what);

// `{ 100 = [1, 2], 110 = 5 }`: blocks of consecutive words, none overlapping
// another (a word given twice would make one of the two values a lie).
std::vector<WordBlock> wordBlocksOf(Findings& findings, const toml::node& node,
                                    std::string_view what);

// The `expect` table of a case.
void readExpect(Findings& findings, const toml::node& node, TestCase& testCase);

}  // namespace akkusim
