#pragma once
// The standard streams and the terminal, which each system handles its own
// way: one source per system (terminal_posix.cpp, terminal_win32.cpp).

namespace akkusim {

// Makes the standard streams carry the commands' bytes unchanged: on Windows
// they would otherwise turn each line end into CR LF (CR CR LF after a CR)
// and end the input at a Ctrl-Z byte; a console shows the UTF-8 output as
// letters. Called once, before anything is read or written.
void prepareStandardStreams();

// The progress line rewrites itself with carriage returns, so only a
// terminal gets it; and only when the report goes elsewhere (a file), since
// on the same terminal its lines would run into the report's.
bool progressWanted();

}  // namespace akkusim
