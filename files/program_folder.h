#pragma once
// The program folder's rules, in one place for every front end: which files
// are programs, which names a new program may get, the order the chooser
// lists them in, and which files a command line's folders stand for.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace akkusim {

// ".txt", in lower case, for the files of the program folder. A name goes
// back to its file by appending the extension, so only such a file opens
// again under the name it is listed by where the system tells letter cases
// apart: there "A.TXT" would be listed as "A" and then not be found. Windows
// finds it, and lists it too.
inline constexpr std::string_view kProgramExtension{".txt"};

// A name the learner gives: letters, digits, "_" and "-", 1 to 40 of them.
inline constexpr std::size_t kMaxProgramNameLength = 40;
// The same characters as the line editor's character rules for the name field.
inline constexpr std::string_view kProgramNameCharacterRules{"a0+_+-"};

bool isProgramNameCharacter(char c);
bool isProgramName(std::string_view name);

// Windows keeps these names for devices in every folder and with any
// extension ("con.txt" is the console): a program saved under one could not
// be copied to a school PC, so no program gets one on any system. Letter
// case aside: CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9.
bool isDeviceName(std::string_view name);

// The program a file of the folder holds: an ordinary file name (not
// hidden) with the extension (in any letter case on Windows) and something
// before it. Nothing otherwise.
// Names found this way need not follow the rule for given names.
std::optional<std::string> programNameOfFile(std::string_view fileName);

// The same for a file that is read by its own path and never looked up again
// by name and extension (an upload, a folder's file given to `akkusim test`):
// the extension in any letter case, since tools on Windows write ".TXT".
std::optional<std::string> programNameOfForeignFile(std::string_view fileName);

// The name under which a file from elsewhere (an upload) joins the folder:
// its file name must be a program's, and the name one the learner could give.
std::optional<std::string> newProgramNameOf(std::string_view fileName);

// The file of a program name: folder / (name + ".txt").
std::filesystem::path programFilePath(const std::filesystem::path& folder, std::string_view name);

// As a user reads a list of names: letter case aside first, then the bytes,
// so that the order is total and does not depend on the directory.
bool comesBeforeInList(const std::string& a, const std::string& b);

// The names of the folder's programs (ordinary files only) in the order
// above; empty when the folder is missing.
std::vector<std::string> listProgramFolder(const std::filesystem::path& folder);

// A program file that another name already stands for: one that can be
// opened for reading (a folder of that name is none).
bool programFileExists(const std::filesystem::path& folder, std::string_view name);

// A program a command line stands for.
struct ProgramArgument {
  std::string file;     // as given, or the path found in a given folder
  std::string learner;  // the sub-folder (path) of a given folder it lies in, or ""
  // Why a folder (or a file) met on the walk could not be read; nothing when
  // it could. Such an entry is no program that passes.
  std::optional<std::string> unreadable;
};

struct ProgramArguments {
  std::vector<ProgramArgument> programs;
  std::vector<std::string> skipped;  // files in the given folders that are no programs
};

// Command-line arguments to the program files they stand for, in order: a
// folder stands for the program files in it and in its sub-folders, at any
// depth (extension in any letter case), sorted by their paths' bytes. A
// download from a school platform has one sub-folder per learner, so a file
// in a sub-folder is that learner's. Hidden files and folders (".git",
// "._abgabe.txt") belong to the system, not to a learner, and are passed
// over; any other file that is no program is listed as skipped. Anything
// else given (also "-", standard input) is taken as a program file as it is.
// A file that two arguments stand for (a folder given twice, a file given
// also by its folder) counts once, where it first appears. A folder or file
// below a given folder that cannot be read is listed among the programs with
// the reason (ProgramArgument::unreadable), and the walk goes on.
ProgramArguments expandProgramArguments(const std::vector<std::string>& arguments);

}  // namespace akkusim
