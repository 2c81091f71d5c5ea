// What the user sees of the database layer on a real database: the wait cursor while statements
// run, and one "Database Error" message for a change that the file refused, however many
// statements of the same action failed; a refused row stays silent.

#include "platform/forms/WDatabaseNotice.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include "platform/db/WQuery.h"
#include "platform/forms/WPrompter.h"
#include "tests/support/FileRefusals.h"
#include "tests/support/TestDataSource.h"

namespace {

class WDatabaseNoticeTest : public KestavoDatabaseTest {
protected:
    bool Run(const std::string& sql) {
        WQuery query(&Transaction());
        return query.Execute(sql);
    }
    static void NextTurn() { QCoreApplication::processEvents(); }

    ScriptedPrompter prompter;
};

TEST_F(WDatabaseNoticeTest, StatementsShowTheWaitCursorUntilControlIsBackInTheEventLoop) {
    NextTurn();
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_TRUE(Run("insert into People( name ) values( 'Ann' )"));
    ASSERT_TRUE(Run("insert into People( name ) values( 'Ben' )"));
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    NextTurn();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(WDatabaseNoticeTest, AWriteTheDiskRefusesIsToldOnceForTheWholeActionWithTheDriversWords) {
    {
        FileSizeLimit fullDisk(0);
        EXPECT_FALSE(Run("insert into People( name ) values( 'Ann' )"));
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);   // not over the message
        EXPECT_FALSE(Run("insert into People( name ) values( 'Ann' )"));
        ASSERT_EQ(prompter.Messages().size(), 1u);
        const ScriptedPrompter::Shown shown = prompter.Messages()[0];
        EXPECT_EQ(shown.caption, "Database Error");
        EXPECT_EQ(shown.text, "Kestavo could not store the change:\r\ndisk I/O error\r\nNothing of it was kept.");
        EXPECT_EQ(shown.icon, WMessageIcon::Stop);
        EXPECT_EQ(shown.buttons, WMessageButtons::OK);
        NextTurn();
        EXPECT_FALSE(Run("insert into People( name ) values( 'Ben' )"));   // the next action is told again
        EXPECT_EQ(prompter.Messages().size(), 2u);
    }
    NextTurn();
    EXPECT_TRUE(Run("insert into People( name ) values( 'Cleo' )"));
    EXPECT_EQ(prompter.Messages().size(), 2u);
}

TEST_F(WDatabaseNoticeTest, ARowTheSchemaRefusesIsTheCallersToHandle) {
    EXPECT_FALSE(Run("insert into TripPeople( trip, person ) values( -1, -1 )"));
    EXPECT_TRUE(prompter.Messages().empty());
}

}  // namespace
