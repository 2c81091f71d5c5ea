#include "tests/dialogs/MainWindowDatabase.h"

#include <cstdlib>
#include <filesystem>

void MainWindowDatabase::SetUp() {
    setenv("KVO_TEST_BUILD_DIR", KVO_BUILD_DIR, 0);   // where the template was built
    const auto database = folder.File("Kestavo.db");
    ASSERT_TRUE(std::filesystem::exists(TemplateDatabasePath())) << TemplateDatabasePath();
    std::filesystem::copy_file(TemplateDatabasePath(), database);
    dataSource = std::make_unique<PrivateDataSource>(database);
    ASSERT_TRUE(dataSource->Written());
    main.programFolder = folder.Path().string() + "/";
    main.CreateDataObjects();
    ASSERT_TRUE(main.transaction_KVO->Connect()) << main.transaction_KVO->LastError();
}

void MainWindowDatabase::TearDown() {
    main.DestroyDataObjects();
    dataSource.reset();
}

bool MainWindowDatabase::Exec(const std::string& sql) {
    WQuery query(main.transaction_KVO.get());
    const bool ok = query.Execute(sql);
    EXPECT_TRUE(ok) << sql << "\n" << query.LastError();
    return ok;
}

WDataValue MainWindowDatabase::Value(const std::string& sql) {
    WQuery query(main.transaction_KVO.get());
    query.SetSQL(sql);
    EXPECT_TRUE(query.Open()) << sql << "\n" << query.LastError();
    return query.GetValue(0, 0);
}
