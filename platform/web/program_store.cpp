#include "platform/web/program_store.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <utility>

#include "files/program_folder.h"

namespace akkusim {
namespace {

std::optional<std::string> fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

BrowserProgramStore::BrowserProgramStore(BrowserFolder files, BrowserStorage& storage)
    : disk_(std::move(files.folder)), examples_(std::move(files.examples)), storage_(storage) {}

std::vector<std::string> BrowserProgramStore::list() {
  lookAgain();
  return disk_.list();
}

bool BrowserProgramStore::exists(const std::string& name) {
  lookAgain();
  return disk_.exists(name);
}

bool BrowserProgramStore::changedElsewhere(const std::string& name) {
  lookAgain();
  const auto seen = seen_.find(name);
  if (seen == seen_.end()) return false;
  return fileBytes(disk_.pathOf(name)) != seen->second;
}

Result<LoadedProgram> BrowserProgramStore::load(const std::string& name) {
  prepare();
  Result<LoadedProgram> loaded = disk_.load(name);
  if (!loaded) return loaded;
  storage_.noteCurrentFile(disk_.pathOf(name));
  noteSeen(name);
  return loaded;
}

Status BrowserProgramStore::save(const std::string& name, const ProgramText& program) {
  prepare();
  Status saved = disk_.save(name, program);
  if (!saved) return saved;
  storage_.noteCurrentFile(disk_.pathOf(name));
  noteSeen(name);
  if (!storage_.persist()) {
    return Failure{"Der Browser konnte die Datei nicht dauerhaft speichern."};
  }
  return saved;
}

UploadResult BrowserProgramStore::upload(std::string_view fileName, std::string_view bytes,
                                         bool overwrite) {
  seedOnce();
  return storeUpload(disk_.folder(), fileName, bytes, overwrite);
}

// Without the browser's storage the folder still lives while the page is
// open. Examples lost by a quick close are seeded again on the next visit,
// so nothing waits for them to be stored.
void BrowserProgramStore::prepare() {
  if (ready_) return;
  ready_ = true;
  kept_ = storage_.waitUntilReady();
  seedOnce();
  if (kept_ && seeded_) storage_.persistLater();
}

// What the file chooser lists and the overwrite question asks about is the
// storage as all tabs left it. A failed refresh leaves the folder as this
// tab knows it: nothing is lost, only not yet seen here.
// The first use too: the storage was read back when the page started, and
// the other tab may have saved since.
void BrowserProgramStore::lookAgain() {
  prepare();
  if (kept_) storage_.refresh();
}

void BrowserProgramStore::noteSeen(const std::string& name) {
  std::optional<std::string> bytes = fileBytes(disk_.pathOf(name));
  if (bytes) {
    seen_[name] = std::move(*bytes);
  } else {
    seen_.erase(name);
  }
}

void BrowserProgramStore::seedOnce() {
  if (seeded_) return;
  seeded_ = seedProgramFolder(disk_.folder(), examples_);
}

bool seedProgramFolder(const std::filesystem::path& folder, const std::filesystem::path& examples) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return true;
  if (!std::filesystem::create_directories(folder, error)) return false;
  for (const std::string& name : listProgramFolder(examples)) {
    std::filesystem::copy_file(programFilePath(examples, name), programFilePath(folder, name),
                               error);
  }
  return true;
}

UploadResult storeUpload(const std::filesystem::path& folder, std::string_view fileName,
                         std::string_view bytes, bool overwrite) {
  const std::optional<std::string> name = newProgramNameOf(fileName);
  if (!name) return UploadResult::BadName;
  if (bytes.size() > kMaxUploadBytes) return UploadResult::TooLarge;
  if (bytes.find('\0') != std::string_view::npos) return UploadResult::NotText;

  const std::filesystem::path path = programFilePath(folder, *name);
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
