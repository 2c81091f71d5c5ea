// An editor program of the tests' own, registered for text and .rtf files through a private XDG
// set-up and started by the recipe commands on the work file. Usage:
//   kvo_recipe_editor RECORD MODE [SOURCE] FILE
// It first copies the file it was given to RECORD (so a test sees exactly what was handed
// over), then, by MODE:
//   replace  writes SOURCE's bytes over the file, as an editor saving a new text;
//   keep     leaves the file as it is and ends at once, as an editor that hands the file to a
//            window of its own already open;
//   slow     leaves the file as it is, after a while, as a user who closes without saving;
//   delete   removes the file.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const std::string record = argv[1], mode = argv[2], file = argv[argc - 1];
    std::error_code error;
    fs::copy_file(file, record + ".partial", fs::copy_options::overwrite_existing, error);
    if (error) std::ofstream(record + ".partial") << "<no file>";
    fs::rename(record + ".partial", record, error);
    if (mode == "replace" && argc == 5) {
        fs::copy_file(argv[3], file, fs::copy_options::overwrite_existing, error);
    } else if (mode == "slow") {
        std::this_thread::sleep_for(std::chrono::milliseconds(2300));
    } else if (mode == "delete") {
        fs::remove(file, error);
    }
    return error ? 1 : 0;
}
