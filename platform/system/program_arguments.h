// The program's arguments as UTF-8, the text every other part of the game reads.
#pragma once

#include <string>
#include <vector>

namespace vexlorn {

// `argv` as it is on Linux. On Windows they are taken again from the wide command line: the
// `argv` the C runtime hands main is in the ANSI code page, which has no letters for most of the
// world's names. False, with `error` saying which argument, when one is not valid text.
bool programArguments(int argc, const char* const* argv, std::vector<std::string>& arguments,
                      std::string& error);

// Windows only: a command line split as Windows' own programs split it, each part in UTF-8.
bool argumentsFromCommandLine(const wchar_t* commandLine, std::vector<std::string>& arguments,
                              std::string& error);

}  // namespace vexlorn
