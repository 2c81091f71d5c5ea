// A line of 100 MiB without a line end is refused by its number, and the import that meets it
// never holds much more than the longest line it accepts: the peak memory of a process of its
// own, as the system counts it.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/exchange/ExchangeData.h"
#include "tests/support/FileText.h"
#include "tests/support/TestDataSource.h"

namespace fs = std::filesystem;

namespace {

// A sanitizer's own bookkeeping (shadow memory, freed blocks held back, the history of every
// access) is no part of the program's memory: there only the refusal is checked.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool WeighMemory = false;
#else
constexpr bool WeighMemory = true;
#endif

void WriteFileWithALongLine(const fs::path& path, std::size_t length) {
    std::ofstream out(path, std::ios::binary);
    out << "kvo_1_0:\r\nload_version: 103\r\ntable: Ingredients\r\nrows_start: id, name\r\n"
           "row_start:\r\ncol_val_int: 1\r\ncol_val_str: ";
    const std::string chunk(1 << 20, 'x');
    for (std::size_t written = 0; written < length; written += chunk.size()) out << chunk;
}

TEST(LongLineImportTest, ALineOfAHundredMebibytesIsRefusedWithBoundedMemory) {
    TempFolder folder;
    const fs::path database = folder.File("Kestavo.db");
    fs::copy_file(TemplateDatabasePath(), database);
    PrivateDataSource dataSource(database);
    ASSERT_TRUE(dataSource.Written());
    const fs::path file = folder.File("long.kvo");
    WriteFileWithALongLine(file, std::size_t{100} << 20);
    const fs::path errors = folder.File("errors.txt");

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        const int out = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || dup2(out, STDERR_FILENO) < 0) _exit(126);
        execl(KVO_IMPORT_CHILD, KVO_IMPORT_CHILD, folder.Path().c_str(), file.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(child, &status, 0, &usage), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << ReadFileText(errors);
    EXPECT_NE(ReadFileText(errors).find("The line 7 is longer than 64 MiB\n"), std::string::npos) << ReadFileText(errors);
    RecordProperty("peak_rss_kib", std::to_string(usage.ru_maxrss));
    if (WeighMemory) EXPECT_LT(usage.ru_maxrss, 200 * 1024) << "peak resident memory in KiB";
    EXPECT_EQ(SqliteRows(database, "select count(*) from Ingredients"), std::vector<std::string>{"0"});
}

}  // namespace
