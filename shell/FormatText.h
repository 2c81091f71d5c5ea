#pragma once
// A printf-style format filled into a text: the statements and messages that the forms build
// from their system's own format strings.

#include <string>

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string FormatText(const char* format, ...);
