#pragma once
// What the file system does differently on Linux and on Windows, in one
// place: each function has one source per system (file_system_posix.cpp,
// file_system_win32.cpp), and the rest of the core stays the same on both.

#include <compare>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"

namespace akkusim {

// The reason a save gives when nothing more telling is known.
inline constexpr std::string_view kNotSavedReason{"Die Datei konnte nicht gespeichert werden."};
// Windows keeps a file that another program holds open from being replaced.
inline constexpr std::string_view kHeldElsewhereReason{
    "Die Datei ist in einem anderen Programm ge\xC3\xB6"
    "ffnet und wurde nicht gespeichert. "
    "Schlie\xC3\x9F"
    "e sie dort und speichere noch einmal."};

// A command line's and a listing's paths are UTF-8 text; Windows names files
// in UTF-16. Bytes that are no UTF-8 stay recognisable instead of failing.
std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8FromPath(const std::filesystem::path& path);
// The same with "/" between the parts on every system (a sub-folder's name).
std::string genericUtf8FromPath(const std::filesystem::path& path);

// Which file a path leads to, whatever way it is written: two paths with the
// same identity are one file.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  auto operator<=>(const FileIdentity&) const = default;
};
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path);

// Hands the new contents to `write` piece by piece; false when a write failed.
using ContentsSink = std::function<bool(std::string_view bytes)>;
using ContentsWriter = std::function<bool(const ContentsSink& write)>;

// Writes the contents into a new file beside `path`, puts it on the disk and
// only then in place of `path` (keeping the replaced file's permissions), so
// that `path` holds either the old or the whole new contents. On failure the
// old file stays as it was and no temporary file is left behind.
Status replaceFile(const std::filesystem::path& path, const ContentsWriter& writer);

// The folder that holds the running executable (`argv0` when the system
// cannot say).
std::filesystem::path executableFolder(const char* argv0);

// The folder where the user keeps documents: the home folder on Linux, the
// documents folder on Windows. Nothing when the system does not say.
std::optional<std::filesystem::path> userDocumentsFolder();

// Whether a new file could be made in the folder by this user now (false
// for a folder that is missing).
bool folderAcceptsNewFiles(const std::filesystem::path& folder);

// Whether the system finds a file whatever the letter case of its name, as
// Windows does: "summe.txt" then opens "Summe.TXT".
bool fileNamesIgnoreLetterCase();

}  // namespace akkusim
