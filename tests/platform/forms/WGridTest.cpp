#include "platform/forms/WGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/db/WQuery.h"
#include "platform/forms/WPrompter.h"
#include "platform/forms/testing/PostedEvents.h"
#include "TestTrips.h"
#include "tests/support/TestDataSource.h"

namespace {

class GridTest : public KestavoDatabaseTest {
protected:
    void SetUp() override {
        KestavoDatabaseTest::SetUp();
        for (const char* name : {"Gamma", "alpha", "Beta"})
            Exec(std::string("insert into Trips( name, location, trip_date ) values( '") + name +
                 "', 'lake', '2002-03-05' )");
        ASSERT_TRUE(form.Create(nullptr));
    }
    void TearDown() override {
        if (form.HasWindow()) form.EndWindow();
        RunPostedEvents();
        KestavoDatabaseTest::TearDown();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (long r = 0; r < form.Grid()->GetNumRows(); ++r) names.push_back(form.Grid()->GetCellText(r, 0));
        return names;
    }
    std::string IdOf(const std::string& name) {
        return Value("select id from Trips where name = '" + name + "'").AsText();
    }
    void Mouse(QEvent::Type type, Qt::MouseButton button, long row) {
        QTableView* view = form.Grid()->GetView();
        const QPoint at = row >= 0 ? view->visualRect(view->model()->index(static_cast<int>(row), 0)).center()
                                   : QPoint(5, view->viewport()->height() - 2);
        QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), button, button, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    }
    TestTrips form;
};

TEST_F(GridTest, ShowsTheQueryWithTitlesAndAHiddenIdColumn) {
    WGrid* grid = form.Grid();
    grid->Refresh();
    EXPECT_EQ(Names(), (std::vector<std::string>{"alpha", "Beta", "Gamma"}));   // names sort without case
    EXPECT_EQ(grid->GetColumnTitles(), (std::vector<std::string>{"Name", "Location", "Trip date", "id"}));
    EXPECT_EQ(grid->GetColumnWidth(0), 215);
    EXPECT_EQ(grid->GetColumnWidth(2), 100);
    EXPECT_EQ(grid->GetColumnWidth(3), 0);
    EXPECT_TRUE(grid->IsColumnHidden(3));
    EXPECT_EQ(grid->GetCellText(1, 3), IdOf("Beta"));
    EXPECT_EQ(grid->GetCurrentRow(), 0);
    EXPECT_TRUE(grid->IsRowSelected(0));
    EXPECT_EQ(grid->GetCellText(5, 0), "");
}

// The query gives name, location, trip_date, id; the list asks for them in another order, and
// a name that no query column has takes the column at its own place.
// Tab moves on to the form's next control, as from any other control: walking the cells (and
// rows) instead would keep the keyboard in the grid for good.
TEST_F(GridTest, ColumnNamesChooseTheQueryColumnsByLabelWithoutRegardToCase) {
    WGrid* grid = form.Grid();
    grid->SetColumnNames("ID;name;NoSuchColumn;Location");
    grid->Refresh();
    EXPECT_EQ(grid->GetNumColumns(), 4);
    EXPECT_EQ(grid->GetCellText(0, 0), IdOf("alpha"));
    EXPECT_EQ(grid->GetCellText(0, 1), "alpha");
    EXPECT_EQ(grid->GetCellText(0, 2), "2002-03-05");
    EXPECT_EQ(grid->GetCellText(0, 3), "lake");
    EXPECT_EQ(grid->GetColumnTitles(), (std::vector<std::string>{"Name", "Location", "Trip date", "id"}));
}

TEST_F(GridTest, ALeftClickRaisesClickEventWithTheRow) {
    form.Grid()->Refresh();
    form.GetWindow()->resize(600, 400);
    std::vector<long> clicks;
    form.Grid()->AddEventHandler(ClickEvent, [&](WEventData& event) {
        clicks.push_back(event.row);
        return false;
    }, this);
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, 1);
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, -1);
    Mouse(QEvent::MouseButtonRelease, Qt::RightButton, 1);
    EXPECT_EQ(clicks, (std::vector<long>{1, kNoRow}));
}

TEST_F(GridTest, ReQueryKeepsTheSelectedRowByItsId) {
    WGrid* grid = form.Grid();
    grid->Refresh();
    grid->SetCurrentRow(grid->FindRow(0, "gamma"));
    Exec("insert into Trips( name, location, trip_date ) values( 'Aardvark', '', '2002-01-01' )");
    EXPECT_TRUE(grid->ReQueryKeepingSelection(3));
    EXPECT_EQ(grid->GetNumRows(), 4);
    EXPECT_EQ(grid->GetCellText(grid->GetCurrentRow(), 0), "Gamma");
    EXPECT_TRUE(grid->IsRowSelected(3));
    EXPECT_FALSE(grid->IsRowSelected(0));
}

TEST_F(GridTest, ReQueryAfterTheSelectedRowWentKeepsTheRowTheReReadGives) {
    WGrid* grid = form.Grid();
    grid->Refresh();
    grid->SetCurrentRow(1);
    Exec("delete from Trips where name = 'Beta'");
    grid->ReQueryKeepingSelection(3);
    EXPECT_EQ(Names(), (std::vector<std::string>{"alpha", "Gamma"}));
    EXPECT_EQ(grid->GetCurrentRow(), 0);
}

TEST_F(GridTest, EmptiedQueryLeavesNoCurrentRow) {
    Exec("delete from Trips");
    form.Grid()->ReQueryKeepingSelection(3);
    EXPECT_EQ(form.Grid()->GetNumRows(), 0);
    EXPECT_EQ(form.Grid()->GetCurrentRow(), -1);
}

TEST_F(GridTest, DoubleClickReportsTheRowOrNoRow) {
    form.Grid()->Refresh();
    form.GetWindow()->resize(600, 400);
    Mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, 2);
    Mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, -1);
    EXPECT_EQ(form.doubleClickRows_, (std::vector<long>{2, kNoRow}));
    ASSERT_EQ(form.edits_.size(), 1u);
}

TEST_F(GridTest, RightClickMakesTheRowCurrentAndThePopUpEditsIt) {
    form.Grid()->Refresh();
    form.GetWindow()->resize(600, 400);
    Mouse(QEvent::MouseButtonRelease, Qt::RightButton, 2);
    EXPECT_EQ(form.Grid()->GetCurrentRow(), 2);
    EXPECT_TRUE(form.Popup()->GetMenu()->isVisible());
    form.Popup()->GetMenu()->hide();
    form.Popup()->FindItem(10000)->Click();
    EXPECT_EQ(form.edits_, std::vector<std::string>{IdOf("Gamma")});
    Mouse(QEvent::MouseButtonRelease, Qt::RightButton, -1);   // below the last row
    EXPECT_EQ(form.Grid()->GetCurrentRow(), 2);
}

TEST_F(GridTest, MenuExitClosesTheModelessFormAndItsWindowGoes) {
    EXPECT_EQ(form.Menu()->FindItem(1001)->GetAction()->statusTip().toStdString(),
              "Save out the current camping database as a backup");
    EXPECT_EQ(form.GetWindow()->statusTip().toStdString(), "Kestavo main screen");
    form.Menu()->FindItem(1015)->Click();
    RunPostedEvents();
    EXPECT_FALSE(form.HasWindow());
    EXPECT_EQ(form.Grid(), nullptr);
    EXPECT_EQ(form.Query(), nullptr);
    EXPECT_TRUE(form.Controls().empty());
}

// The user's Exit arrives inside the QMenu's own key handler, which goes on using the menu after
// the action's handlers return: nothing of the form may be gone until the loop's next turn.
TEST_F(GridTest, ExitByKeyKeepsTheMenuAliveUntilTheLoopRunsAgain) {
    QMenu* file = form.Menu()->SubMenus()[0]->GetMenu();
    QPointer<QMenu> alive(file);
    int destroyed = 0;
    form.AddEventHandler(DestroyEvent, [&](WEventData&) { ++destroyed; return false; }, &destroyed);
    file->popup(QPoint(10, 10));
    QKeyEvent exitKey(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    QApplication::sendEvent(file, &exitKey);
    EXPECT_TRUE(alive);
    EXPECT_EQ(destroyed, 0);
    EXPECT_FALSE(form.GetWindow()->isVisible());   // the user sees the window close at once
    RunPostedEvents();
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(form.HasWindow());
    EXPECT_FALSE(alive);
}

// A keyboard user leaves the grid with Tab, as any other control: it does not walk the cells.
TEST_F(GridTest, TabMovesTheFocusOnToTheNextControl) {
    form.Grid()->Refresh();
    QTableView* view = form.Grid()->GetView();
    form.GetWindow()->show();
    view->setFocus();
    ASSERT_EQ(form.GetWindow()->focusWidget(), view);
    const QModelIndex before = view->currentIndex();
    for (Qt::KeyboardModifier modifier : {Qt::NoModifier, Qt::ShiftModifier}) {
        view->setFocus();
        QKeyEvent tab(QEvent::KeyPress, modifier == Qt::ShiftModifier ? Qt::Key_Backtab : Qt::Key_Tab, modifier);
        QApplication::sendEvent(view, &tab);
        EXPECT_NE(form.GetWindow()->focusWidget(), view);
        EXPECT_EQ(view->currentIndex(), before);
    }
}

TEST_F(GridTest, ClosingTheMainFormQuitsTheMessageLoop) {
    WExeApplication::SetMainForm(&form);
    QTimer::singleShot(0, [this] { form.GetWindow()->close(); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(form.HasWindow());
    WExeApplication::SetMainForm(nullptr);
}

TEST(GridAutoOpen, AQueryThatCannotOpenAsksWhetherToExit) {
    ScriptedPrompter prompter;
    prompter.Answer(WMessageAnswer::No);
    TestTrips form;   // no transaction is registered: the query cannot open
    ASSERT_TRUE(form.Create(nullptr));
    const auto shown = prompter.Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Query AutoOpen Warning");
    EXPECT_NE(shown[0].text.find("Do you wish to exit the program?"), std::string::npos);
    EXPECT_EQ(shown[0].buttons, WMessageButtons::YesNo);
    EXPECT_EQ(form.Grid()->GetNumRows(), 0);
    form.EndWindow();
}

}  // namespace
