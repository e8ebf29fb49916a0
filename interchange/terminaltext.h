#pragma once

// Text from a data file on its way to a terminal: one item a line, and no
// byte of it able to drive the terminal.

#include <string>
#include <string_view>

namespace corvane {

// `utf8` with each control character shown as a visible escape: a line
// break as \n, a carriage return as \r, a tab as \t, every other C0 or C1
// control and DEL as \xHH (the C1 ones by their code point). Everything
// else is kept as it is.
std::string shownOnTerminal(std::string_view utf8);

}  // namespace corvane
