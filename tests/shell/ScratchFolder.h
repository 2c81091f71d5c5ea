#pragma once
// A temporary folder that a test may also make its current directory (the options file lives
// in the current directory), with whole-file reads and writes for checking bytes on disk.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/TempFolder.h"

class ScratchFolder : public TempFolder {
public:
    ScratchFolder() = default;
    ~ScratchFolder() {
        if (!previous_.empty()) std::filesystem::current_path(previous_);
    }

    void MakeCurrent() {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(Path());
    }
    std::string File(const std::string& name) const { return TempFolder::File(name).string(); }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

private:
    std::filesystem::path previous_;
};
