// Started by the launch tests as the program registered for a file type. Usage:
//   kvo_launch_probe RECORD [ARG...]
// Waits a moment, so that a caller that does not wait returns before it ends, then writes its
// remaining arguments, one per line, to RECORD, which appears complete or not at all.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::filesystem::path record = argv[1];
    const std::filesystem::path partial = record.string() + ".partial";
    {
        std::ofstream out(partial, std::ios::binary);
        for (int i = 2; i < argc; ++i) out << argv[i] << '\n';
    }
    std::filesystem::rename(partial, record);
    return 0;
}
