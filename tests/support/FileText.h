#pragma once
// Reading and writing whole files, and listing a folder, for tests that look at files.

#include <filesystem>
#include <string>
#include <vector>

std::string ReadFileText(const std::filesystem::path& path);   // the bytes; "" when unreadable
bool WriteFileText(const std::filesystem::path& path, const std::string& text);
// Names in the folder, sorted; symbolic links are listed, not followed.
std::vector<std::string> ListFolder(const std::filesystem::path& folder);
