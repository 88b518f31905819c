#pragma once
// A program carried in a link: the text the page compresses into the
// address, and what a link's text must be before the listing shows it.

#include <cstddef>
#include <string>
#include <string_view>

#include "base/result.h"
#include "files/program_file.h"

namespace akkusim {

// The most text a link may carry: a full listing, every line 40 characters
// of two UTF-8 bytes each, with its line end.
inline constexpr std::size_t kMaxSharedBytes =
    static_cast<std::size_t>(kMaxProgramLines) * (2 * kMaxLineLength + 1);

// UTF-8, one line per "\n", without the blanks at the end of a line and the
// empty lines at the end of the program: the learner's lines and nothing
// else, so that a link is as short as it can be.
std::string sharedProgramText(const ProgramText& program);

// The program of a link's text, every line parsed; a failure says in German
// why the link shows nothing (damaged or too long).
Result<ProgramText> programFromSharedText(std::string_view text);

}  // namespace akkusim
