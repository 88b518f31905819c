#include "files/program_folder.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <system_error>
#include <utility>

#include "files/file_system.h"
#include "files/program_input.h"
#include "text/ascii_case.h"

namespace akkusim {

namespace {

unsigned char foldedByte(char c) {
  return static_cast<unsigned char>(lowerAscii(c));
}

enum class ExtensionCase { Exact, Any };

std::optional<std::string> programNameOf(std::string_view fileName, ExtensionCase extensionCase) {
  if (fileName.size() <= kProgramExtension.size() || fileName.front() == '.') return std::nullopt;
  const std::string_view stem = fileName.substr(0, fileName.size() - kProgramExtension.size());
  const std::string_view typed = fileName.substr(stem.size());
  const std::string extension =
      extensionCase == ExtensionCase::Any ? lowerAscii(typed) : std::string(typed);
  if (extension != kProgramExtension) return std::nullopt;
  return std::string(stem);
}

// A listed name goes back to its file by appending ".txt": where the system
// finds files whatever their letter case, "Summe.TXT" opens again that way and
// is listed as well; elsewhere it would not be found.
ExtensionCase folderExtensionCase() {
  return fileNamesIgnoreLetterCase() ? ExtensionCase::Any : ExtensionCase::Exact;
}

// The program files directly in `folder`, as (name, path) in directory
// order; a listing that fails part way keeps what it found.
template <typename Visit>
void forEachProgramFile(const std::filesystem::path& folder, ExtensionCase extensionCase,
                        Visit visit) {
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) return;
  for (const std::filesystem::directory_iterator end; it != end; it.increment(error)) {
    if (error) return;
    const std::optional<std::string> name =
        programNameOf(utf8FromPath(it->path().filename()), extensionCase);
    std::error_code typeError;
    if (!name || !it->is_regular_file(typeError) || typeError) continue;
    visit(*name, it->path());
  }
}

// Files told apart by what they are, not by how they are named: "a.txt",
// "./a.txt" and a folder's "abgaben/../a.txt" are one file. A name that
// names no file stands for itself.
class FileIdentities {
 public:
  bool firstTime(const std::string& file) {
    if (file == "-") return names_.insert(file).second;
    if (const std::optional<FileIdentity> identity = fileIdentity(pathFromUtf8(file))) {
      return files_.insert(*identity).second;
    }
    return names_.insert(file).second;
  }

 private:
  std::set<FileIdentity> files_;
  std::set<std::string> names_;
};

struct FolderContents {
  std::vector<ProgramArgument> programs;
  std::vector<std::string> skipped;
};

bool isHidden(const std::filesystem::path& path) {
  const std::string name = utf8FromPath(path.filename());
  return !name.empty() && name.front() == '.';
}

// One folder's entries in directory order; a listing that fails part way
// keeps what it found and says why it stopped.
struct FolderListing {
  std::vector<std::filesystem::directory_entry> entries;
  std::optional<std::string> error;
};

FolderListing listFolder(const std::filesystem::path& folder) {
  FolderListing listing;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  for (const std::filesystem::directory_iterator end; !error && it != end; it.increment(error)) {
    listing.entries.push_back(*it);
  }
  if (error) {
    listing.error =
        (listing.entries.empty() ? "nicht lesbar (" : "nicht vollst\xC3\xA4ndig lesbar (") +
        systemErrorText(error) + ")";
  }
  return listing;
}

// The learner of a sub-folder (a path relative to the given folder).
std::string learnerOf(const std::filesystem::path& inFolder) {
  if (inFolder.empty() || inFolder == ".") return "";
  return genericUtf8FromPath(inFolder);
}

// Sorts one entry of a listed folder into `contents`, or hands back a
// sub-folder to walk. Links to folders are not followed (no cycles).
std::optional<std::filesystem::path> takeEntry(const std::filesystem::path& root,
                                               const std::filesystem::directory_entry& entry,
                                               FolderContents& contents) {
  const std::filesystem::path& path = entry.path();
  if (isHidden(path)) return std::nullopt;
  std::error_code error;
  if (entry.is_directory(error) && !entry.is_symlink(error) && !error) return path;
  const bool regular = entry.is_regular_file(error);
  const std::filesystem::path relative = path.lexically_relative(root);
  if (error && error != std::errc::no_such_file_or_directory) {
    // A file that cannot even be told apart from a folder is still a learner's.
    contents.programs.push_back({utf8FromPath(path), learnerOf(relative.parent_path()),
                                 "nicht lesbar (" + systemErrorText(error) + ")"});
    return std::nullopt;
  }
  if (!regular || error) return std::nullopt;
  if (!programNameOf(utf8FromPath(path.filename()), ExtensionCase::Any)) {
    contents.skipped.push_back(utf8FromPath(path));
  } else {
    contents.programs.push_back(
        {utf8FromPath(path), learnerOf(relative.parent_path()), std::nullopt});
  }
  return std::nullopt;
}

// Every file below `root`, hidden ones aside. A folder that cannot be listed
// (wholly or in part) stands in the list with its reason, so that no
// learner goes missing without a word, and the walk goes on.
FolderContents walkFolder(const std::filesystem::path& root) {
  FolderContents contents;
  std::vector<std::filesystem::path> pending{root};
  while (!pending.empty()) {
    const std::filesystem::path folder = std::move(pending.back());
    pending.pop_back();
    FolderListing listing = listFolder(folder);
    if (listing.error) {
      contents.programs.push_back({utf8FromPath(folder), learnerOf(folder.lexically_relative(root)),
                                   std::move(listing.error)});
    }
    for (const std::filesystem::directory_entry& entry : listing.entries) {
      if (std::optional<std::filesystem::path> sub = takeEntry(root, entry, contents)) {
        pending.push_back(std::move(*sub));
      }
    }
  }
  const auto byFile = [](const ProgramArgument& a, const ProgramArgument& b) {
    return a.file < b.file;
  };
  std::sort(contents.programs.begin(), contents.programs.end(), byFile);
  std::sort(contents.skipped.begin(), contents.skipped.end());
  return contents;
}

}  // namespace

bool isProgramNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-';
}

bool isProgramName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxProgramNameLength &&
         std::all_of(name.begin(), name.end(), isProgramNameCharacter);
}

bool isDeviceName(std::string_view name) {
  const std::string lower = lowerAscii(name);
  if (lower == "con" || lower == "prn" || lower == "aux" || lower == "nul") return true;
  return lower.size() == 4 &&
         (lower.compare(0, 3, "com") == 0 || lower.compare(0, 3, "lpt") == 0) && lower[3] >= '0' &&
         lower[3] <= '9';
}

std::optional<std::string> programNameOfFile(std::string_view fileName) {
  return programNameOf(fileName, folderExtensionCase());
}

std::optional<std::string> programNameOfForeignFile(std::string_view fileName) {
  return programNameOf(fileName, ExtensionCase::Any);
}

std::optional<std::string> newProgramNameOf(std::string_view fileName) {
  std::optional<std::string> name = programNameOfForeignFile(fileName);
  if (!name || !isProgramName(*name)) return std::nullopt;
  return name;
}

std::filesystem::path programFilePath(const std::filesystem::path& folder, std::string_view name) {
  std::string fileName(name);
  fileName += kProgramExtension;
  return folder / fileName;
}

bool comesBeforeInList(const std::string& a, const std::string& b) {
  // Two-way comparisons: the browser edition's standard library has no
  // three-way lexicographical comparison.
  const auto folded = [](char x, char y) { return foldedByte(x) < foldedByte(y); };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded)) return false;
  return a < b;
}

std::vector<std::string> listProgramFolder(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  forEachProgramFile(
      folder, folderExtensionCase(),
      [&names](const std::string& name, const std::filesystem::path&) { names.push_back(name); });
  std::sort(names.begin(), names.end(), comesBeforeInList);
  return names;
}

bool programFileExists(const std::filesystem::path& folder, std::string_view name) {
  const std::filesystem::path path = programFilePath(folder, name);
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
  const std::ifstream in(path, std::ios::binary);
  return in.is_open();
}

ProgramArguments expandProgramArguments(const std::vector<std::string>& arguments) {
  ProgramArguments expanded;
  FileIdentities seen;
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (argument == "-" || !std::filesystem::is_directory(pathFromUtf8(argument), error)) {
      if (seen.firstTime(argument)) expanded.programs.push_back({argument, "", std::nullopt});
      continue;
    }
    FolderContents contents = walkFolder(pathFromUtf8(argument));
    for (ProgramArgument& program : contents.programs) {
      if (seen.firstTime(program.file)) expanded.programs.push_back(std::move(program));
    }
    for (std::string& file : contents.skipped) {
      if (seen.firstTime(file)) expanded.skipped.push_back(std::move(file));
    }
  }
  return expanded;
}

}  // namespace akkusim
