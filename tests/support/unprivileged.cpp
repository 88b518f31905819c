#include "support/unprivileged.h"

#include <grp.h>
#include <pwd.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace {

constexpr int kCouldNotDrop = 125;

struct Account {
  uid_t user;
  gid_t group;
};

// Looked up before forking: the name service is not safe in a child of a
// process that may have other threads.
Account nobody() {
  const passwd* entry = ::getpwnam("nobody");
  if (entry == nullptr) return {65534, 65534};
  return {entry->pw_uid, entry->pw_gid};
}

void writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

bool dropTo(const Account& account) {
  return ::setgroups(0, nullptr) == 0 && ::setgid(account.group) == 0 &&
         ::setuid(account.user) == 0 && ::geteuid() == account.user &&
         ::getegid() == account.group;
}

}  // namespace

ChildResult runUnprivileged(const std::function<int(std::string& report)>& action) {
  const bool root = ::geteuid() == 0;
  const Account account = nobody();
  std::array<int, 2> ends{};
  if (::pipe(ends.data()) != 0) return {-1, "no pipe"};

  const pid_t child = ::fork();
  if (child < 0) {
    ::close(ends[0]);
    ::close(ends[1]);
    return {-1, "no fork"};
  }
  if (child == 0) {
    ::close(ends[0]);
    std::string report;
    int code = kCouldNotDrop;
    if (root && !dropTo(account)) {
      report = "could not become nobody";
    } else {
      code = action(report);
    }
    writeAll(ends[1], report);
    ::close(ends[1]);
    // No exit handlers: they belong to the parent (test framework, leak
    // checker).
    ::_exit(code);
  }

  ::close(ends[1]);
  ChildResult result;
  std::array<char, 4096> buffer{};
  for (;;) {
    const ssize_t n = ::read(ends[0], buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    result.report.append(buffer.data(), static_cast<std::size_t>(n));
  }
  ::close(ends[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

bool handToUnprivilegedUser(const std::filesystem::path& path) {
  if (::geteuid() != 0) return true;
  const Account account = nobody();
  return ::chown(path.c_str(), account.user, account.group) == 0;
}
