#include "tests/support/MainWindowDatabaseTest.h"

#include <filesystem>

void MainWindowDatabaseTest::SetUp() {
    const auto database = folder.File("Kestavo.db");
    ASSERT_TRUE(std::filesystem::exists(TemplateDatabasePath())) << TemplateDatabasePath();
    std::filesystem::copy_file(TemplateDatabasePath(), database);
    if (!prepareScript.empty()) RunSqlite(prepareScript);
    dataSource = std::make_unique<PrivateDataSource>(database);
    ASSERT_TRUE(dataSource->Written());
    main.programFolder = folder.Path().string() + "/";
    main.CreateDataObjects();
    ASSERT_TRUE(main.transaction_KVO->Connect()) << main.transaction_KVO->LastError();
    main.BuildTableSchemas();
}

void MainWindowDatabaseTest::TearDown() {
    main.DestroyDataObjects();
    dataSource.reset();
}

void RunSqliteOnFile(const std::filesystem::path& database, const std::string& script) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

void MainWindowDatabaseTest::RunSqlite(const std::string& script) {
    RunSqliteOnFile(folder.File("Kestavo.db"), script);
}

bool MainWindowDatabaseTest::Exec(const std::string& sql, const std::vector<WDataValue>& parameters) {
    WQuery query(main.transaction_KVO.get());
    const bool ok = query.Execute(sql, parameters);
    EXPECT_TRUE(ok) << sql << "\n" << query.LastError();
    return ok;
}

WDataValue MainWindowDatabaseTest::Value(const std::string& sql) {
    WQuery query(main.transaction_KVO.get());
    query.SetSQL(sql);
    EXPECT_TRUE(query.Open()) << sql << "\n" << query.LastError();
    return query.GetValue(0, 0);
}

long MainWindowDatabaseTest::Count(const std::string& table, const std::string& where) {
    return static_cast<long>(Value("select count(*) from " + table + (where.empty() ? "" : " where " + where)).AsLong());
}
