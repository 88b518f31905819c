#include <sys/stat.h>
#include <unistd.h>

#include "cli/terminal.h"

namespace akkusim {

void prepareStandardStreams() {}

bool progressWanted() {
  if (!::isatty(STDERR_FILENO)) return false;
  struct stat out {};
  struct stat err {};
  if (::fstat(STDOUT_FILENO, &out) != 0 || ::fstat(STDERR_FILENO, &err) != 0) return false;
  return out.st_dev != err.st_dev || out.st_ino != err.st_ino;
}

}  // namespace akkusim
