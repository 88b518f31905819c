#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

#include "files/file_system.h"

namespace akkusim {

namespace {

std::atomic<unsigned> temporaryCounter{0};

Failure notSaved() {
  return Failure{std::string(kNotSavedReason)};
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Creates a new, empty file beside `path` that no one else uses; -1 on failure.
int createTemporaryBeside(const std::filesystem::path& path, std::filesystem::path& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = path;
    temporary.replace_filename("." + path.filename().string() + "." + std::to_string(::getpid()) +
                               "." + std::to_string(temporaryCounter++) + ".tmp");
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  return -1;
}

// An existing file must be writable in place: a rename would get past its
// write protection. Opening it for update neither creates nor truncates it.
bool writableInPlace(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return true;
  const std::fstream out(path, std::ios::in | std::ios::out | std::ios::binary);
  return out.is_open();
}

}  // namespace

std::filesystem::path pathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::string(text));
}

std::string utf8FromPath(const std::filesystem::path& path) {
  return path.string();
}

std::string genericUtf8FromPath(const std::filesystem::path& path) {
  return path.generic_string();
}

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino)};
}

Status replaceFile(const std::filesystem::path& path, const ContentsWriter& writer) {
  if (!writableInPlace(path)) return notSaved();
  std::filesystem::path temporary;
  const int fd = createTemporaryBeside(path, temporary);
  if (fd < 0) return notSaved();

  // Keep the permissions of the file being replaced.
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    (void)::fchmod(fd, old.st_mode & 07777);
  }

  bool ok =
      writer([fd](std::string_view bytes) { return writeAll(fd, bytes); }) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return notSaved();
  }
  // Make the rename itself durable; the file is in place whatever this gives.
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
  return succeeded();
}

std::filesystem::path executableFolder(const char* argv0) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) self = std::filesystem::absolute(argv0, error);
  return self.parent_path();
}

std::optional<std::filesystem::path> userDocumentsFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::filesystem::path(home);
  // Started without a login environment (a service, sudo -H aside).
  const passwd* entry = ::getpwuid(::getuid());
  if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') {
    return std::filesystem::path(entry->pw_dir);
  }
  return std::nullopt;
}

bool fileNamesIgnoreLetterCase() {
  return false;
}

bool folderAcceptsNewFiles(const std::filesystem::path& folder) {
  std::error_code error;
  return std::filesystem::is_directory(folder, error) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace akkusim
