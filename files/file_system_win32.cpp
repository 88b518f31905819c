#include <windows.h>
// After windows.h, which they need.
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "files/file_system.h"

namespace akkusim {

namespace {

std::atomic<unsigned> temporaryCounter{0};

Failure notSaved() {
  return Failure{std::string(kNotSavedReason)};
}

// Closes the handle when it goes.
struct FileHandle {
  HANDLE handle = INVALID_HANDLE_VALUE;
  explicit FileHandle(HANDLE h) : handle(h) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { close(); }
  bool valid() const { return handle != INVALID_HANDLE_VALUE; }
  bool close() {
    if (!valid()) return true;
    const bool closed = ::CloseHandle(handle) != 0;
    handle = INVALID_HANDLE_VALUE;
    return closed;
  }
};

bool heldElsewhere(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// An existing file must be writable in place, as on Linux: replacing it
// would get past its write protection. Another program that holds it open
// without sharing it (for deleting, too: replacing is that) keeps it from
// being replaced, and says so here, before anything is written.
Status writableInPlace(const std::filesystem::path& path) {
  const FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.valid()) return succeeded();
  const DWORD error = ::GetLastError();
  if (error == ERROR_FILE_NOT_FOUND) return succeeded();
  if (heldElsewhere(error)) return Failure{std::string(kHeldElsewhereReason)};
  return notSaved();
}

bool writeAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

HANDLE createTemporaryBeside(const std::filesystem::path& path, std::filesystem::path& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = path;
    temporary.replace_filename(L"." + path.filename().wstring() + L"." +
                               std::to_wstring(::GetCurrentProcessId()) + L"." +
                               std::to_wstring(temporaryCounter++) + L".tmp");
    const HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    if (::GetLastError() != ERROR_FILE_EXISTS) return INVALID_HANDLE_VALUE;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

std::filesystem::path pathFromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int wide = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(), wide);
  return std::filesystem::path(result);
}

std::string utf8FromPath(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int bytes =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, result.data(), bytes, nullptr, nullptr);
  return result;
}

std::string genericUtf8FromPath(const std::filesystem::path& path) {
  return utf8FromPath(std::filesystem::path(path.generic_wstring()));
}

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path) {
  // Folders open only with backup semantics; reading no contents needs no access.
  const FileHandle file(::CreateFileW(path.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file.handle, &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

// No permissions to carry over: the read-only attribute, the only one, has
// refused the save already.
Status replaceFile(const std::filesystem::path& path, const ContentsWriter& writer) {
  if (Status writable = writableInPlace(path); !writable) return writable;
  std::filesystem::path temporary;
  FileHandle file(createTemporaryBeside(path, temporary));
  if (!file.valid()) return notSaved();

  bool ok = writer([&file](std::string_view bytes) { return writeAll(file.handle, bytes); }) &&
            ::FlushFileBuffers(file.handle) != 0;
  ok = file.close() && ok;
  if (ok && !::MoveFileExW(temporary.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(temporary.c_str());
    // Opened by another program between the check and the move?
    if (Status writable = writableInPlace(path); !writable) return writable;
    return notSaved();
  }
  if (!ok) {
    ::DeleteFileW(temporary.c_str());
    return notSaved();
  }
  return succeeded();
}

std::filesystem::path executableFolder(const char* argv0) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) break;
    if (length < buffer.size()) {
      return std::filesystem::path(std::wstring(buffer.data(), length)).parent_path();
    }
    buffer.resize(buffer.size() * 2);
  }
  std::error_code error;
  return std::filesystem::absolute(pathFromUtf8(argv0), error).parent_path();
}

std::optional<std::filesystem::path> userDocumentsFolder() {
  PWSTR folder = nullptr;
  const HRESULT found = ::SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &folder);
  std::optional<std::filesystem::path> documents;
  if (SUCCEEDED(found) && folder != nullptr) documents = std::filesystem::path(folder);
  ::CoTaskMemFree(folder);
  return documents;
}

bool fileNamesIgnoreLetterCase() {
  return true;
}

bool folderAcceptsNewFiles(const std::filesystem::path& folder) {
  // The folder's access rules are the system's to judge: a file is made
  // there and gone again when it is closed.
  const std::filesystem::path probe =
      folder / (L".akkusim-probe-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(temporaryCounter++));
  FileHandle file(::CreateFileW(
      probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return file.valid();
}

}  // namespace akkusim
