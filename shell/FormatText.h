#pragma once
// A printf-style format filled into a text: the statements and messages that the forms build
// from their system's own format strings.

#include <cstdarg>
#include <string>

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string FormatText(const char* format, ...);
// The same for a caller that takes its own variable arguments.
std::string FormatTextV(const char* format, va_list args);
