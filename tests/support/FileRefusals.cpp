#include "tests/support/FileRefusals.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>

namespace {

constexpr std::uint32_t PermissionOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

bool ThreadCapabilities(__user_cap_data_struct (&data)[_LINUX_CAPABILITY_U32S_3]) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capget, &header, data) == 0;
}

bool SetThreadCapabilities(__user_cap_data_struct (&data)[_LINUX_CAPABILITY_U32S_3]) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

ObeyFilePermissions::ObeyFilePermissions() {
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (!ThreadCapabilities(data) || !(data[0].effective & PermissionOverrides)) return;
    effective_ = {data[0].effective, data[1].effective};
    data[0].effective &= ~PermissionOverrides;
    dropped_ = SetThreadCapabilities(data);
}

ObeyFilePermissions::~ObeyFilePermissions() {
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (!dropped_ || !ThreadCapabilities(data)) return;
    data[0].effective = effective_[0];
    data[1].effective = effective_[1];
    SetThreadCapabilities(data);
}

ReadOnlyPath::ReadOnlyPath(std::filesystem::path path)
    : path_(std::move(path)), previous_(std::filesystem::status(path_).permissions()) {
    using std::filesystem::perms;
    std::filesystem::permissions(path_, previous_ & ~(perms::owner_write | perms::group_write | perms::others_write));
}

ReadOnlyPath::~ReadOnlyPath() {
    std::error_code ignored;
    std::filesystem::permissions(path_, previous_, ignored);
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
}
