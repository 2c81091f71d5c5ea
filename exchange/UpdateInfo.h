#pragma once
// The food update's information file on the maker's web host: the lowest program version the
// update needs and the update's base name, as in "version: 302\r\nfood_2004\r\n".
//
// As read: any text up to the first ':'; blanks and tabs; the required version as the digits
// that follow (none reads as 0); CR and LF characters; then the base name, from the first
// character that is neither CR nor LF up to the next CR or LF, without white space at either
// end. A name with no line break after it reads as empty; everything after it is ignored.

#include <string>

// This program's version in the units of the information file: major x 100 + minor.
constexpr int ProductVersionNumber = 302;

struct UpdateInfo {
    bool hasColon = false;
    std::string versionDigits;   // as written, possibly empty or very long
    std::string baseName;
};

UpdateInfo ParseUpdateInfo(const std::string& text);

// Whether the required version is above ProductVersionNumber, however many digits it has.
bool RequiresNewerProgram(const std::string& versionDigits);

// A base name becomes a file name in the program folder: only letters, digits, '_', '-' and
// '.', no "..", and not empty.
bool IsSafeUpdateName(const std::string& name);
