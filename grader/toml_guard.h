#pragma once
// The TOML reader shipped with Debian (toml++ 3.3) runs into undefined
// behaviour when it asks whether a non-ASCII character outside a text is
// white space, which a teacher's typo such as `name = Überlauf` makes it do.
// Valid TOML has non-ASCII characters only inside texts and comments, so
// such a file is refused here, before the reader sees it.

#include <optional>
#include <string_view>

#include "grader/test_file.h"

// The first non-ASCII character that stands outside a text or a comment (or
// right after a backslash in a multi-line text), with its place and a reason.
std::optional<TestFileError> findCharacterOutsideText(std::string_view text);
