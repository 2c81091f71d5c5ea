#pragma once
// The scrambled form of a line, as the table data file's writer makes it: each byte XOR the key,
// as two upper-case hexadecimal digits.

#include <string>

#include "shell/DataFile.h"

inline std::string Scrambled(const std::string& line) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i] ^ DataFile::ScrambleKey[i % DataFile::ScrambleKey.size()]);
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}
