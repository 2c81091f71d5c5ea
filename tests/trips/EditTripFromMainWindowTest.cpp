// The trip editor as the user meets it: from the main window's four edit commands, back to the
// re-read trips list with the trip kept selected; and its Report... button.

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>
#include <utility>

#include "platform/forms/ModalTakeOver.h"
#include "platform/forms/WListBox.h"
#include "platform/report/WReportControl.h"
#include "tests/startup/MainWindowFixture.h"
#include "tests/support/StrictModalForms.h"

namespace {

enum class Command { EditButton, Menu, Popup, DoubleClick };

void PrintTo(Command command, std::ostream* os) {
    const char* names[] = {"EditButton", "Menu", "Popup", "DoubleClick"};
    *os << names[static_cast<int>(command)];
}

void Click(WForm& form, const char* name) { form.Control<WCommandButton>(name)->Click(); }

class EditTripFromMainWindowTest : public MainWindowTest {
protected:
    StrictModalForms strictModalForms;
    void SetUp() override {
        MainWindowTest::SetUp();
        SeedDatabase();
        RunSqliteOnFile(Database(), "insert into Trips( id, name, location, trip_date ) values"
                                    "( 5, 'Alpha', '', '2001-01-01' ), ( 9, 'Mid', '', '2002-02-02' );");
        Start();
    }

    void Run(Command command) {
        switch (command) {
        case Command::EditButton: Click(*window, "cb_Edit"); break;
        case Command::Menu: window->menu_1->FindItem(1022)->Click(); break;
        case Command::Popup: window->grid_Trips->GetPopupMenu()->FindItem(10000)->Click(); break;
        case Command::DoubleClick: {
            WEventData event;
            event.id = DoubleClickEvent;
            event.row = window->grid_Trips->GetCurrentRow();
            window->grid_Trips->Raise(event);
            break;
        }
        }
    }
    std::string SelectedName() {
        const long row = window->grid_Trips->GetCurrentRow();
        return row < 0 ? std::string() : window->grid_Trips->GetCellText(row, 0);
    }
};

class EditTripCommandTest : public EditTripFromMainWindowTest, public testing::WithParamInterface<Command> {};

// Renamed to sort last, the trip is still the selected one when the list comes back.
TEST_P(EditTripCommandTest, EditsTheSelectedTripAndKeepsItSelected) {
    window->SelectRow(window->grid_Trips, 0);   // Alpha
    ModalTakeOver::Expect("WinEditTrip", [](WForm& form) {
        form.Control<WTextBox>("textb_Name")->SetText("Zulu");
        Click(form, "cb_Close");
    });
    Run(GetParam());
    EXPECT_EQ(SelectedName(), "Zulu");
    EXPECT_EQ(window->grid_Trips->GetCellText(1, 0), "Zulu");
}

INSTANTIATE_TEST_SUITE_P(Commands, EditTripCommandTest,
                         testing::Values(Command::EditButton, Command::Menu, Command::Popup, Command::DoubleClick),
                         [](const testing::TestParamInfo<Command>& info) {
                             std::ostringstream name;
                             PrintTo(info.param, &name);
                             return name.str();
                         });

TEST_F(EditTripFromMainWindowTest, ADoubleClickBelowTheRowsEditsNothing) {
    WEventData event;
    event.id = DoubleClickEvent;
    event.row = kNoRow;
    window->grid_Trips->Raise(event);
    EXPECT_EQ(ModalTakeOver::Unexpected().size(), 0u);
}

// The report is of the trip as the editor shows it: the name is settled and written first.
TEST_F(EditTripFromMainWindowTest, ReportSavesTheTripThenPrintsItsReport) {
    std::vector<WReportControl::Request> runs;
    std::string nameAtRun;
    WReportControl::SetTestHook([&](const WReportControl::Request& request) {
        runs.push_back(request);
        WQuery name(window->transaction_KVO.get());
        name.SetSQL("select name from Trips where id = 5");
        if (name.Open()) nameAtRun = name.GetValue(0, 0).AsText();
        return std::pair<int, std::string>(0, "");
    });
    ModalTakeOver::Expect("WinSelectReport", [](WForm& form) {
        auto* list = form.Control<WListBox>("lb_Report");
        list->SetSelected(list->FindText("Trip shopping list report"));
        Click(form, "cb_OK");
    });
    window->SelectRow(window->grid_Trips, 0);
    ModalTakeOver::Expect("WinEditTrip", [](WForm& form) {
        form.Control<WTextBox>("textb_Name")->SetText("Spring");
        Click(form, "cb_Report");
        Click(form, "cb_Close");
    });
    Click(*window, "cb_Edit");
    WReportControl::SetTestHook(nullptr);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(nameAtRun, "Spring");
    EXPECT_NE(runs[0].file.find("report_shopping_list.rpt"), std::string::npos);
}

}  // namespace
