#include "support/temp_folder.h"

#include <unistd.h>

#include <atomic>
#include <string>
#include <system_error>

namespace akkusim {

TempFolder::TempFolder(std::string_view purpose) {
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  const std::string stem =
      "akkusim_" + std::string(purpose) + "_" + std::to_string(::getpid()) + "_";
  std::error_code error;
  do {
    path_ = base / (stem + std::to_string(counter++));
  } while (!std::filesystem::create_directory(path_, error) && !error);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace akkusim
