#pragma once
// The browser's "Programme" folder as the window's program store: seeded
// once with the example programs, filled from the learner's computer by
// uploads, and kept in the browser's storage, where a save is complete only
// once the browser has stored it.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "files/disk_program_store.h"
#include "files/program_store.h"

namespace akkusim {

// What the page does for the store: the page's calls in the browser, a
// stand-in in tests.
class BrowserStorage {
 public:
  virtual ~BrowserStorage() = default;
  // Waits until the storage is mounted and what earlier visits kept is read
  // back; false when the browser keeps nothing (files then live until the
  // page is closed, and the page says so).
  virtual bool waitUntilReady() = 0;
  // Writes what changed to the browser's storage and waits; false when that
  // failed.
  virtual bool persist() = 0;
  // The same without waiting, for what could be written again if it were lost.
  virtual void persistLater() = 0;
  // Reads back what other tabs of the page stored meanwhile (and stores what
  // this one has not yet) and waits; false when that failed.
  virtual bool refresh() = 0;
  // The file of the program last loaded or saved, for "Datei herunterladen".
  virtual void noteCurrentFile(const std::filesystem::path& path) = 0;
};

// Where the learner's files live: `folder` under the storage's mount point,
// seeded from `examples` on the first visit.
struct BrowserFolder {
  std::filesystem::path folder;
  std::filesystem::path examples;
};

enum class UploadResult : int32_t {
  Stored = 0,
  Exists = 1,  // asks before overwriting
  BadName = 2,
  NotText = 3,  // NUL bytes: a binary file
  TooLarge = 4,
  WriteFailed = 5,
};

inline constexpr std::size_t kMaxUploadBytes = 16 * 1024 * 1024;

class BrowserProgramStore : public ProgramStore {
 public:
  BrowserProgramStore(BrowserFolder files, BrowserStorage& storage);

  // The first use waits for the storage and seeds the folder: by then the
  // first frame is drawn, and nothing has read the folder yet. Later ones
  // first read what other tabs saved meanwhile.
  std::vector<std::string> list() override;
  bool exists(const std::string& name) override;
  bool changedElsewhere(const std::string& name) override;
  Result<LoadedProgram> load(const std::string& name) override;
  Status save(const std::string& name, const ProgramText& program) override;

  // "Datei hochladen", for a page that has waited for the storage itself
  // (this call cannot wait). A stored upload still has to be persisted.
  UploadResult upload(std::string_view fileName, std::string_view bytes, bool overwrite);

 private:
  void prepare();
  void lookAgain();
  void seedOnce();
  void noteSeen(const std::string& name);

  DiskProgramStore disk_;
  std::filesystem::path examples_;
  BrowserStorage& storage_;
  bool ready_ = false;
  bool kept_ = false;
  bool seeded_ = false;
  // The bytes of every file as this tab last loaded or saved it.
  std::map<std::string, std::string> seen_;
};

// Makes `folder` on the first visit, with copies of the program files of
// `examples`; a folder that exists is left as the learner left it. False
// when the folder cannot be made.
bool seedProgramFolder(const std::filesystem::path& folder, const std::filesystem::path& examples);

// Stores the bytes unchanged as the program file of the upload's name
// (newProgramNameOf); Laden then reads them as it reads any file. An existing file is replaced
// only with `overwrite`, and only once the new one is completely written.
UploadResult storeUpload(const std::filesystem::path& folder, std::string_view fileName,
                         std::string_view bytes, bool overwrite);

}  // namespace akkusim
