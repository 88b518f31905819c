#include "files/program_location.h"

#include <algorithm>
#include <system_error>

#include "files/file_system.h"
#include "files/program_folder.h"
#include "text/ascii_case.h"

namespace akkusim {

namespace fs = std::filesystem;

namespace {

bool isFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

// The program files of a folder by their file names, hidden ones aside.
std::vector<std::string> programFileNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const std::string& name : listProgramFolder(folder)) {
    names.push_back(name + std::string(kProgramExtension));
  }
  return names;
}

Failure notMade(const fs::path& folder) {
  return Failure{"Der Ordner " + utf8FromPath(folder) + " konnte nicht angelegt werden."};
}

}  // namespace

ProgramPlace chooseProgramPlace(const ProgramPlaceFacts& facts) {
  if (!facts.userFolderKnown) return ProgramPlace::BesideExecutable;
  if (facts.installed || !facts.besideWritable) return ProgramPlace::UserFolder;
  return ProgramPlace::BesideExecutable;
}

std::vector<std::string> examplesToSeed(bool firstStart, const std::vector<std::string>& examples,
                                        const std::vector<std::string>& present) {
  std::vector<std::string> seed;
  if (!firstStart) return seed;
  for (const std::string& example : examples) {
    const std::string key = lowerAscii(example);
    const bool taken = std::any_of(present.begin(), present.end(), [&](const std::string& name) {
      return lowerAscii(name) == key;
    });
    if (!taken) seed.push_back(example);
  }
  return seed;
}

fs::path sharedFolder(const fs::path& executableFolder) {
  const fs::path installed = (executableFolder.parent_path() / "share" / "akkusim");
  if (executableFolder.filename() == "bin" &&
      isFolder(installed / pathFromUtf8(kProgramFolderName))) {
    return installed;
  }
  return executableFolder;
}

bool isInstalled(const fs::path& executableFolder) {
  std::error_code error;
  return sharedFolder(executableFolder) != executableFolder ||
         fs::exists(executableFolder / pathFromUtf8(kInstalledMarkerName), error);
}

Result<fs::path> prepareProgramFolder(const fs::path& executableFolder,
                                      const std::optional<fs::path>& documentsFolder) {
  const fs::path beside = executableFolder / pathFromUtf8(kProgramFolderName);
  const ProgramPlaceFacts facts{.installed = isInstalled(executableFolder),
                                .besideWritable = folderAcceptsNewFiles(beside),
                                .userFolderKnown = documentsFolder.has_value()};
  if (chooseProgramPlace(facts) == ProgramPlace::BesideExecutable) return beside;

  const fs::path folder =
      *documentsFolder / pathFromUtf8(kUserFolderName) / pathFromUtf8(kProgramFolderName);
  std::error_code error;
  const bool firstStart = !fs::exists(folder, error);
  if (firstStart && !fs::create_directories(folder, error)) return notMade(folder);
  if (!isFolder(folder)) return notMade(folder);

  const fs::path examples = sharedFolder(executableFolder) / pathFromUtf8(kProgramFolderName);
  for (const std::string& name :
       examplesToSeed(firstStart, programFileNames(examples), programFileNames(folder))) {
    // skip_existing: a file that appeared meanwhile is the learner's.
    fs::copy_file(examples / pathFromUtf8(name), folder / pathFromUtf8(name),
                  fs::copy_options::skip_existing, error);
  }
  return folder;
}

}  // namespace akkusim
