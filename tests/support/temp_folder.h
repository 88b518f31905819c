#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it when the test is done. Tests run side by side
// (ctest -j) and a crashed run may leave its folder behind, so the name holds
// the process, a count within it, and a folder that exists already is never
// reused.

#include <filesystem>
#include <string_view>

namespace akkusim {

class TempFolder {
 public:
  // `purpose` names the folder for whoever finds one left behind.
  explicit TempFolder(std::string_view purpose);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace akkusim
