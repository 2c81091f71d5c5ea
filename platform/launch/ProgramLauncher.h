#pragma once
// Starting programs: the one that the desktop registers for a file type, or a named one. Always
// with an argument vector, never through a shell, so that no file name or web address is ever
// read as a command. Any thread; waiting blocks the calling thread until the program has ended.

#include <string>
#include <vector>

// Why a program for a file type was not started. The first three have the numbers of the
// program's "Internal Error" message; a program that is registered but cannot be started is
// NotStarted.
enum class LaunchProblem {
    None = 0,
    NoFileType = 1002,            // the desktop knows no type for the extension or address
    NoRegisteredProgram = 1001,   // no installed program is registered for the type
    NoOpenCommand = 1000,         // the registered program's entry has no usable Exec line
    NotStarted = -1,              // the program named by the Exec line could not be started
};

// Opens the argument (a file path or a web address) with the program registered for the file
// type (".html", ".rtf"). A web address such as "http://..." goes to the program registered for
// its scheme (x-scheme-handler/http), else to the file type's. The argument is always passed as
// one argument, whatever blanks or quotes it holds. With wait set the call returns once the
// program has ended.
LaunchProblem LaunchProgramForFileType(const std::string& fileTypeKey, const std::string& argument,
                                       bool wait);

// Starts argv[0] (a path, or a name looked up on PATH) with argv as its argument vector. True
// when the program started; with wait set, returns after it has ended.
bool StartProgram(const std::vector<std::string>& argv, bool wait);
