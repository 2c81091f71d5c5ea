#pragma once
// The SQLite extension that gives the name columns their order (libkvocollate.so): the data
// source asks the driver to load it at every connect.

#include <string>

// Beside the running program, else where this build put it; empty when there is none.
std::string CollationExtensionPath();
