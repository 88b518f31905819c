#pragma once
// Checking one program against a test file: every case from the freshly
// assembled machine, compared word by word.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "files/program_folder.h"
#include "grader/test_file.h"
#include "machine/machine_state.h"
#include "machine/run.h"

namespace akkusim {

// Forbidden: the run came to an instruction the suite forbids and stopped
// before it; nothing else of the case is compared.
enum class DifferenceKind { End, Memory, Accumulator, Flag, Forbidden };

// One thing that was not as expected. Words are kept signed, as shown.
struct Difference {
  DifferenceKind kind = DifferenceKind::End;
  Address address = 0;  // Memory, Forbidden; End: the instruction's (kNoInstruction for none)
  char flag = 'C';      // Flag
  int32_t expected = 0;
  int32_t actual = 0;                 // Forbidden: the code word's bits
  RunEnd expectedEnd = RunEnd::Hold;  // End
  RunEnd actualEnd = RunEnd::Hold;
};

struct CaseResult {
  bool passed = false;
  RunEnd end = RunEnd::Hold;
  int64_t steps = 0;
  Address instructionAddress = kNoInstruction;  // the run's "Befehlszähler" at the end
  bool forbidden = false;  // stopped before a forbidden instruction, at instructionAddress
  std::vector<Difference> differences;  // the end first, then memory, accumulator, flags
};

struct ProgramResult {
  std::string file;                  // as named on the command line or found in a folder
  std::string learner;               // the sub-folder it was found in, or ""
  std::optional<std::string> error;  // unreadable, refused or not assembled: every case fails
  bool incomplete = false;           // read with losses, checked all the same
  std::vector<CaseResult> cases;     // one per case of the suite, also after an error
  int32_t passed = 0;
  int64_t points = 0;  // of the passed cases
};

// Runs every case on a copy of `assembled` (`scratch` is overwritten).
std::vector<CaseResult> checkAssembled(const TestSuite& suite, const MachineState& assembled,
                                       MachineState& scratch);

// The two machines a check works on, one per worker, so that no program
// costs an allocation of half a megabyte.
struct CheckMachines {
  MachineState assembled;
  MachineState run;
};

// Reads FILE as `run` does, assembles it and checks it; a program that uses
// an instruction the suite forbids fails every case, and a case whose run
// comes to one (written as a data word, stored at run time) fails.
ProgramResult checkProgram(const TestSuite& suite, const std::string& file,
                           std::istream& stdinStream, CheckMachines& machines);

// The same for what a command line stands for, with its learner; an entry
// the folder walk could not read fails every case with the walk's reason.
ProgramResult checkArgument(const TestSuite& suite, const ProgramArgument& argument,
                            std::istream& stdinStream, CheckMachines& machines);

}  // namespace akkusim
