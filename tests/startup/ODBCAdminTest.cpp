#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/ODBCAdmin.h"

namespace fs = std::filesystem;

namespace {

class ODBCAdminTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("kvo-odbc-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        ini = folder / "odbc.ini";
        setenv("ODBCINI", ini.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string IniText() const {
        std::ifstream in(ini);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path folder, ini;
};

}  // namespace

TEST_F(ODBCAdminTest, WritesTheDataSourceOnTheSystemDriver) {
    ASSERT_TRUE(ODBCAdmin::RegisterDataSource("Kestavo", "/opt/kvo/Kestavo.db"));
    const std::string text = IniText();
    EXPECT_NE(text.find("[Kestavo]"), std::string::npos) << text;
    EXPECT_NE(text.find("Database"), std::string::npos);
    EXPECT_NE(text.find("/opt/kvo/Kestavo.db"), std::string::npos);
    EXPECT_NE(text.find("SQLite3"), std::string::npos);
    EXPECT_NE(text.find("NoCreat=1"), std::string::npos);
    EXPECT_NE(text.find("FKSupport=1"), std::string::npos);
    EXPECT_NE(text.find("libkvocollate.so"), std::string::npos);
}

TEST_F(ODBCAdminTest, UnknownDriverIsRefused) {
    EXPECT_FALSE(ODBCAdmin::RegisterDataSourceDriver("Kestavo", "/opt/kvo/Kestavo.db", "NoSuchDriver"));
}

TEST_F(ODBCAdminTest, FallbackNamesTheDriverLibrary) {
    ASSERT_TRUE(ODBCAdmin::RegisterDataSourceDriver("Kestavo", "/opt/kvo/Kestavo.db",
                                                    ODBCAdmin::FallbackDriver));
    EXPECT_NE(IniText().find("libsqlite3odbc.so"), std::string::npos) << IniText();
}

TEST_F(ODBCAdminTest, UnwritableIniIsRefused) {
    std::ofstream(folder / "not-a-folder") << "x";
    setenv("ODBCINI", (folder / "not-a-folder" / "odbc.ini").c_str(), 1);
    EXPECT_FALSE(ODBCAdmin::RegisterDataSource("Kestavo", "/opt/kvo/Kestavo.db"));
    EXPECT_FALSE(ODBCAdmin::RegisterDataSourceDriver("Kestavo", "/opt/kvo/Kestavo.db",
                                                     ODBCAdmin::FallbackDriver));
}
