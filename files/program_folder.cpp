#include "files/program_folder.h"

#include <algorithm>
#include <fstream>
#include <system_error>

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
        programNameOf(it->path().filename().string(), extensionCase);
    std::error_code typeError;
    if (!name || !it->is_regular_file(typeError) || typeError) continue;
    visit(*name, it->path());
  }
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

std::optional<std::string> programNameOfFile(std::string_view fileName) {
  return programNameOf(fileName, ExtensionCase::Exact);
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
      folder, ExtensionCase::Exact,
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

std::vector<std::string> expandProgramArguments(const std::vector<std::string>& arguments) {
  std::vector<std::string> files;
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (argument == "-" || !std::filesystem::is_directory(argument, error)) {
      files.push_back(argument);
      continue;
    }
    std::vector<std::string> found;
    forEachProgramFile(argument, ExtensionCase::Any,
                       [&found](const std::string&, const std::filesystem::path& path) {
                         found.push_back(path.string());
                       });
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
}

}  // namespace akkusim
