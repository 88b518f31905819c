#pragma once
// Where the learner's programs live. Beside the executable while akkusim runs
// from its build folder or an unpacked zip. An installed akkusim cannot write
// there (and its uninstaller would take the programs with it), so it keeps
// them in a folder of the user's own, filled with the shipped examples on its
// first start there.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace akkusim {

inline constexpr std::string_view kProgramFolderName{"Programme"};
inline constexpr std::string_view kAssignmentFolderName{"Aufgaben"};
// Put beside the executable by the Windows setup: on Windows the program
// folder of an installed akkusim may well be writable (an install for one
// user), but it goes with the uninstaller.
inline constexpr std::string_view kInstalledMarkerName{"installiert.txt"};
// The user's own folder, under the home folder (Linux) or the documents
// folder (Windows).
inline constexpr std::string_view kUserFolderName{"akkusim"};

enum class ProgramPlace { BesideExecutable, UserFolder };

// What this start finds.
struct ProgramPlaceFacts {
  bool installed = false;        // a package or the setup put akkusim where it is
  bool besideWritable = false;   // the program folder beside the executable takes new files
  bool userFolderKnown = false;  // the system names a documents folder
};

ProgramPlace chooseProgramPlace(const ProgramPlaceFacts& facts);

// The example files to copy into the user's program folder: on its first
// start (akkusim has just made the folder) each example that no file there
// has the name of; none later, so that an example the learner deleted stays
// deleted. Names are file names ("summe.txt"), compared as Windows does,
// letter case aside, since the folder may be on either system.
std::vector<std::string> examplesToSeed(bool firstStart, const std::vector<std::string>& examples,
                                        const std::vector<std::string>& present);

// The folder with the shipped Programme and Aufgaben: beside the executable,
// or share/akkusim when the executable is in the bin folder of an installed
// prefix (/usr/bin/akkusim and /usr/share/akkusim).
std::filesystem::path sharedFolder(const std::filesystem::path& executableFolder);

// Whether a package or the setup installed the akkusim in this folder.
bool isInstalled(const std::filesystem::path& executableFolder);

// The program folder for this start: made and seeded with the shipped
// examples when it is the user's own. A failure says why in German.
Result<std::filesystem::path> prepareProgramFolder(
    const std::filesystem::path& executableFolder,
    const std::optional<std::filesystem::path>& documentsFolder);

}  // namespace akkusim
