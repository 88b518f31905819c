#include "files/disk_program_store.h"

#include "files/program_folder.h"

namespace akkusim {

std::vector<std::string> DiskProgramStore::list() {
  return listProgramFolder(folder_);
}

bool DiskProgramStore::exists(const std::string& name) {
  return programFileExists(folder_, name);
}

Result<LoadedProgram> DiskProgramStore::load(const std::string& name) {
  std::optional<LoadedProgram> loaded = loadProgramFile(pathOf(name));
  if (!loaded) return Failure{"Die Datei konnte nicht geöffnet werden."};
  return std::move(*loaded);
}

Status DiskProgramStore::save(const std::string& name, const ProgramText& program) {
  return saveProgramFile(pathOf(name), program);
}

std::filesystem::path DiskProgramStore::pathOf(const std::string& name) const {
  return programFilePath(folder_, name);
}

}  // namespace akkusim
