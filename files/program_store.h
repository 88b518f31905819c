#pragma once
// Where the window's Laden and Speichern keep programs, by name (without
// folder and extension): a folder on disk, or the browser's storage.

#include <string>
#include <vector>

#include "base/result.h"
#include "files/program_file.h"
#include "program/program_text.h"

namespace akkusim {

class ProgramStore {
 public:
  virtual ~ProgramStore() = default;
  // In the file chooser's order; empty when there is nothing to list.
  virtual std::vector<std::string> list() = 0;
  // Whether saving under `name` would replace a program.
  virtual bool exists(const std::string& name) = 0;
  // Whether that program is no longer the one this window last loaded or
  // saved under `name`, because someone else saved it meanwhile (another
  // tab of the browser); only a store shared that way can tell.
  virtual bool changedElsewhere(const std::string& /*name*/) { return false; }
  virtual Result<LoadedProgram> load(const std::string& name) = 0;
  // A failed save leaves the program stored before as it was.
  virtual Status save(const std::string& name, const ProgramText& program) = 0;
};

}  // namespace akkusim
