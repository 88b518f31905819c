#include "platform/web/program_store.h"

#include <fstream>
#include <system_error>

namespace akkusim {
namespace {

constexpr std::string_view kExtension{".txt"};
constexpr std::size_t kMaxNameLength = 40;

bool isNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-';
}

bool endsWithExtension(std::string_view fileName) {
  if (fileName.size() < kExtension.size()) return false;
  const std::string_view tail = fileName.substr(fileName.size() - kExtension.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    const char c = tail[i];
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != kExtension[i]) return false;
  }
  return true;
}

}  // namespace

bool seedProgramFolder(const std::filesystem::path& folder, const std::filesystem::path& examples) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return true;
  if (!std::filesystem::create_directories(folder, error)) return false;
  for (const auto& entry : std::filesystem::directory_iterator(examples, error)) {
    if (!entry.is_regular_file(error) || entry.path().extension() != kExtension) continue;
    std::filesystem::copy_file(entry.path(), folder / entry.path().filename(), error);
  }
  return true;
}

std::optional<std::string> programNameOfUpload(std::string_view fileName) {
  if (!endsWithExtension(fileName)) return std::nullopt;
  const std::string_view name = fileName.substr(0, fileName.size() - kExtension.size());
  if (name.empty() || name.size() > kMaxNameLength) return std::nullopt;
  for (const char c : name) {
    if (!isNameCharacter(c)) return std::nullopt;
  }
  return std::string(name);
}

UploadResult storeUpload(const std::filesystem::path& folder, std::string_view fileName,
                         std::string_view bytes, bool overwrite) {
  const std::optional<std::string> name = programNameOfUpload(fileName);
  if (!name) return UploadResult::BadName;
  if (bytes.size() > kMaxUploadBytes) return UploadResult::TooLarge;
  if (bytes.find('\0') != std::string_view::npos) return UploadResult::NotText;

  const std::filesystem::path path = folder / (*name + std::string(kExtension));
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return UploadResult::WriteFailed;
  if (!overwrite && std::filesystem::exists(path, error)) return UploadResult::Exists;

  // A hidden name, which the chooser does not list, until it is complete.
  const std::filesystem::path temporary = folder / ("." + *name + ".upload");
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      std::filesystem::remove(temporary, error);
      return UploadResult::WriteFailed;
    }
  }
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return UploadResult::WriteFailed;
  }
  return UploadResult::Stored;
}

}  // namespace akkusim
