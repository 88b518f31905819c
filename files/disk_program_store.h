#pragma once
// The program store of the desktop: the files of one folder.

#include <filesystem>
#include <string>
#include <vector>

#include "files/program_store.h"

namespace akkusim {

class DiskProgramStore : public ProgramStore {
 public:
  explicit DiskProgramStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

  std::vector<std::string> list() override;
  bool exists(const std::string& name) override;
  Result<LoadedProgram> load(const std::string& name) override;
  Status save(const std::string& name, const ProgramText& program) override;

  // The file a name stands for.
  std::filesystem::path pathOf(const std::string& name) const;
  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

}  // namespace akkusim
