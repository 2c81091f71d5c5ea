#pragma once
// Statements as the program writes them: a printf format filled with table names, ids and
// escaped texts.

#include <string>

#include "shell/FormatText.h"

template <class... Args>
std::string Sql(const char* format, Args... args) {
    return FormatText(format, args...);
}
