#pragma once
// The Exec line of a desktop entry, read as freedesktop.org's desktop entry rules have it:
// the value's own escapes, then arguments split at blanks with double-quoted arguments, then the
// field codes (%f %F %u %U for the file or address) expanded into an argument vector.

#include <optional>
#include <string>
#include <vector>

// Undoes the escapes of a string value (\s \n \t \r \\).
std::string UnescapeDesktopValue(const std::string& value);

// Splits an (unescaped) Exec value into its arguments; nothing when a quote is left open.
std::optional<std::vector<std::string>> SplitExecLine(const std::string& exec);

// The argument vector that opens the argument (a file path or a web address): %f %F %u %U become
// the argument, %% a percent sign; %i %c %k and the deprecated codes are dropped, and an argument
// that held nothing but a dropped code goes with it. When no code takes the argument it is added
// at the end, so that the program still receives it.
std::vector<std::string> ExpandExecArguments(const std::vector<std::string>& arguments,
                                             const std::string& target);
