#pragma once
// The browser's "Programme" folder: seeded once with the example programs,
// and filled from the learner's computer by uploads.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace akkusim {

// Makes `folder` on the first visit, with copies of the `*.txt` files of
// `examples`; a folder that exists is left as the learner left it. False
// when the folder cannot be made.
bool seedProgramFolder(const std::filesystem::path& folder, const std::filesystem::path& examples);

// The program name of an uploaded file, under the file chooser's rules
// (letters, digits, "_" and "-", at most 40 characters) and with the
// extension ".txt" in any case; nothing when the name breaks them.
std::optional<std::string> programNameOfUpload(std::string_view fileName);

enum class UploadResult : int32_t {
  Stored = 0,
  Exists = 1,  // asks before overwriting
  BadName = 2,
  NotText = 3,  // NUL bytes: a binary file
  TooLarge = 4,
  WriteFailed = 5,
};

inline constexpr std::size_t kMaxUploadBytes = 16 * 1024 * 1024;

// Stores the bytes unchanged as the program file of the upload's name;
// Laden then reads them as it reads any file. An existing file is replaced
// only with `overwrite`, and only once the new one is completely written.
UploadResult storeUpload(const std::filesystem::path& folder, std::string_view fileName,
                         std::string_view bytes, bool overwrite);

}  // namespace akkusim
