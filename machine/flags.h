#pragma once
// The four flags in one table, in the order the panel, the reports and the
// test files list them: C, V, Z, N. Everything that names or lists a flag
// goes through it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "machine/machine_state.h"

namespace akkusim {

struct FlagRow {
  char letter;            // the panel, the JSON keys, the test files
  std::string_view name;  // the panel's and the text report's long name
  uint8_t MachineState::*value;
};

inline constexpr std::size_t kFlagCount = 4;

inline constexpr std::array<FlagRow, kFlagCount> kFlags{{
    {'C', "Carry", &MachineState::carry},
    {'V', "Overflow", &MachineState::overflow},
    {'Z', "Zero", &MachineState::zero},
    {'N', "Negative", &MachineState::negative},
}};

// Each flag 0 or 1, by kFlags.
using FlagValues = std::array<uint8_t, kFlagCount>;

inline FlagValues flagValues(const MachineState& machine) {
  FlagValues values{};
  for (std::size_t i = 0; i < kFlagCount; ++i) values[i] = machine.*kFlags[i].value;
  return values;
}

// The place in kFlags of the flag with this letter (upper case only).
constexpr std::optional<std::size_t> flagIndexOf(char letter) {
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    if (kFlags[i].letter == letter) return i;
  }
  return std::nullopt;
}

}  // namespace akkusim
