#pragma once
// What both command-line tools need from the console: their arguments as UTF-8, and output
// that the terminal shows correctly (a Windows console is written in UTF-16).
#include <string>
#include <string_view>
#include <vector>

namespace quenmora::tools {

// The command line as UTF-8, program name first. On Windows argv is in the ANSI code page and
// loses Chinese file names, so the wide command line is read instead.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// One line of UTF-8 text on standard output, flushed at once so a reader of a pipe sees it.
void PrintLine(std::string_view utf8);
// One line of UTF-8 text on standard error.
void PrintError(std::string_view utf8);
// Bytes on standard output exactly as given.
void WriteBytes(std::string_view bytes);

}  // namespace quenmora::tools
