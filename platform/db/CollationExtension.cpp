#include "platform/db/CollationExtension.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string CollationExtensionPath() {
    std::error_code error;
    const fs::path beside = fs::read_symlink("/proc/self/exe", error).parent_path() / "libkvocollate.so";
    if (!error && fs::is_regular_file(beside, error)) return beside.string();
    // Tests run from their own folders; the build's program folder holds the extension.
    if (fs::is_regular_file(KVO_COLLATION_BUILD_PATH, error)) return KVO_COLLATION_BUILD_PATH;
    return {};
}
