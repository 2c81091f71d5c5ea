// The order of the name columns through the driver: case does not count, also for the accented
// Latin letters, accents do, and an accented letter sorts beside its base letter.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/db/CollationExtension.h"
#include "platform/db/WQuery.h"
#include "tests/support/TestDataSource.h"

namespace {

class NameOrderTest : public KestavoDatabaseTest {
protected:
    void SetUp() override {
        KestavoDatabaseTest::SetUp();
        for (const char* name : {"Egg", "Éclair", "Crème brûlée", "Eclair", "zucchini", "Ølive"})
            ASSERT_TRUE(Exec(std::string("insert into Ingredients( name ) values( '") + name + "' )"));
    }

    std::vector<std::string> Names(const std::string& sql) {
        WQuery query(&Transaction());
        query.SetSQL(sql);
        EXPECT_TRUE(query.Open()) << query.LastError();
        std::vector<std::string> names;
        for (long row = 0; row < query.GetNumRows(); ++row) names.push_back(query.GetValue(row, 0).AsText());
        return names;
    }
};

}  // namespace

TEST_F(NameOrderTest, TheDataSourceLoadsTheExtension) {
    EXPECT_FALSE(CollationExtensionPath().empty());
}

TEST_F(NameOrderTest, AccentedCapitalsMatchTheirSmallLetters) {
    EXPECT_EQ(Names("select name from Ingredients where name = 'CRÈME BRÛLÉE'"),
              std::vector<std::string>{"Crème brûlée"});
    EXPECT_EQ(Names("select name from Ingredients where name = 'éCLAIR'"),
              std::vector<std::string>{"Éclair"});
}

TEST_F(NameOrderTest, AccentsStillTellNamesApart) {
    EXPECT_TRUE(Names("select name from Ingredients where name = 'Creme brulee'").empty());
    EXPECT_EQ(Names("select name from Ingredients where name = 'eclair'"),
              std::vector<std::string>{"Eclair"});
}

TEST_F(NameOrderTest, AccentedLettersSortBesideTheirBaseLetter) {
    EXPECT_EQ(Names("select name from Ingredients order by name"),
              (std::vector<std::string>{"Crème brûlée", "Eclair", "Éclair", "Egg", "zucchini", "Ølive"}));
}
