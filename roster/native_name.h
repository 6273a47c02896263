#pragma once
// A file's name as the roster check compares it: code-page-936 text, like the roster's. The path
// itself, in the system's own form, is what opens the file.
#include <filesystem>
#include <string>

namespace quenmora::roster {

// `name` (UTF-8 bytes on Linux, UTF-16 on Windows) in code page 936: what cannot be read, or has
// no character there, becomes "?" (never a look-alike), so an odd name matches nobody and harms
// nothing.
std::string GbkName(const std::filesystem::path& name);

}  // namespace quenmora::roster
