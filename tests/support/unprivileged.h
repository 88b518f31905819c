#pragma once
// File permissions do not bind root, and CI runs as root: a test of refused
// access runs its action in a child process that first drops to the user
// nobody, so that it runs (and means the same) for every user.

#include <filesystem>
#include <functional>
#include <string>

struct ChildResult {
  int exitCode = -1;   // the action's result; -1 when the child ended otherwise
  std::string report;  // what the action reported, or why it did not run
};

// Runs `action` in a forked child. When this process is root, the child
// first becomes nobody (groups, group and user) and runs nothing if that
// fails. The action's report comes back through a pipe.
ChildResult runUnprivileged(const std::function<int(std::string& report)>& action);

// Gives `path` to the user the child runs as (nothing to do unless root), so
// that owner permissions set on it are the ones that apply to the child.
// False when that failed.
bool handToUnprivilegedUser(const std::filesystem::path& path);
