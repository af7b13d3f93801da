#pragma once

#include <cstdio>
#include <optional>
#include <span>

// The command line as Linux programs answer it: --help and --version print to standard output
// and end the program with 0; any other argument is refused in one line on standard error, with
// 2. Without arguments there is nothing to answer (none): the calculator opens.
std::optional<int> AnswerCommandLine(std::span<char* const> arguments, std::FILE* out,
                                     std::FILE* err);
